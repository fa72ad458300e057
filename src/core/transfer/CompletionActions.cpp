#include "transfer/CompletionActions.h"

#include <filesystem>
#include <optional>

#include "storage/CookieFile.h"
#include "transfer/Download.h"

namespace tandu {

namespace {

// A file that is already gone is no failure; anything else is reported.
std::optional<std::string> removeFile(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) {
        return "The file " + path + " cannot be deleted: " + error.message() + ".";
    }
    return std::nullopt;
}

}  // namespace

void CompletionActions::run() {
    TransferRecord& rec = engine_.record();
    const NumberText& numbers = engine_.setup().numbers;
    if (engine_.target().isOpen() && !engine_.target().stillNamed()) {
        engine_.pauseOnFault();  // says so, and keeps the row resumable
        return;
    }
    if (engine_.checkingChecksum()) {
        return;  // back here once the file matches
    }
    engine_.endTransfer();

    // The cookies go first, then the definition: a process killed in between
    // leaves neither a secret nor a download that can neither resume nor
    // finish, at most a stray progress file.
    auto failure = CookieFile::remove(CookieFile::pathFor(rec.definitionPath));
    if (auto definitionFailure = removeFile(rec.definitionPath); !failure) {
        failure = definitionFailure;
    }
    if (auto progressFailure = removeFile(rec.progressPath); !failure) {
        failure = progressFailure;
    }
    for (Stretch& p : rec.stretches) {
        p.received = p.length;
    }
    const std::string total = numbers.kb(rec.plan.fileSize);
    Download::RowTexts& row = engine_.rowTexts();
    row.speed = "-";
    row.size = total + "/" + total + "KB";
    row.eta = "-";
    engine_.setState(DownloadState::Completed);
    if (failure) {
        engine_.showError(*failure);
    }
    engine_.ended();
}

}  // namespace tandu
