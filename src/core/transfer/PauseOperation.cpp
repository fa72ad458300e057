#include "transfer/PauseOperation.h"

#include <optional>

#include "storage/FileNames.h"
#include "transfer/Download.h"
#include "transfer/TransferMessages.h"

namespace tandu {

void PauseOperation::run() {
    TransferRecord& rec = engine_.record();
    if (!rec.downloading) {
        return;
    }

    if (rec.probing) {
        // A server that never answers the first request must not hold the download:
        // nothing was written yet, so the row simply stays as it was.
        engine_.endTransfer();
        engine_.changed();
        engine_.ended();
        return;
    }
    std::optional<std::string> failure;
    std::string reason;
    for (int k = 1; k <= rec.stretchCount(); ++k) {
        engine_.destroyConnection(k);
        Stretch& p = rec.stretch(k);
        if (p.done || p.buffer.empty() || failure) {
            continue;
        }
        if (engine_.data().write(k, p.buffer.data(), p.buffer.size(), &reason)) {
            p.buffer.clear();
        } else {
            failure = messages::fileError(rec.targetPath, reason);
        }
    }
    const bool lost = engine_.target().isOpen() && !engine_.target().stillNamed();
    const bool progressFound = FileExists(rec.progressPath);
    // Written again even when it went missing, so that the row left "Paused"
    // resumes with every byte counted; not for a download whose definition
    // is gone as well. The target is synced first, through its open file.
    const bool keepProgress = progressFound || FileExists(rec.definitionPath);
    if (keepProgress && !engine_.rewriteProgress(&reason) && !failure) {
        failure = messages::fileError(rec.progressPath, reason);
    }
    if (!engine_.target().close(&reason) && !failure) {
        failure = messages::fileError(rec.targetPath, reason);
    }
    engine_.endTransfer();
    // Without a size the definition cannot say "Paused": a fresh start finds
    // the bytes and resumes them if the server then allows it.
    engine_.setState(rec.sizeUnknown ? DownloadState::Waiting : DownloadState::Paused);
    if (!progressFound) {
        engine_.showError(messages::kDefinitionMissing);
    } else if (lost) {
        engine_.showError(messages::targetLost(rec.targetPath));
    } else if (failure) {
        engine_.showError(*failure);
    }
    engine_.ended();
}

}  // namespace tandu
