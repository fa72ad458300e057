#include "transfer/CompletionActions.h"

#include <filesystem>
#include <optional>

#include "storage/CookieFile.h"
#include "storage/TextFile.h"
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

// The definition goes first, and durably: a process killed or a power cut
// in between leaves only a stray progress file, never a download that can
// neither resume nor finish. Only once the target is durable.
std::optional<std::string> removeStoredFiles(const std::string& definition,
                                             const std::string& progress) {
    auto failure = removeFile(definition);
    const std::string folder = textfile::folderOf(definition);
    textfile::syncFolder(folder);
    if (auto progressFailure = removeFile(progress); !failure) {
        failure = progressFailure;
    }
    textfile::syncFolder(folder);
    return failure;
}

}  // namespace

void CompletionActions::run() {
    TransferRecord& rec = engine_.record();
    const NumberText& numbers = engine_.setup().numbers;
    if (engine_.target().isOpen() && !engine_.target().stillNamed()) {
        engine_.pauseOnFault();  // says so, and keeps the row resumable
        return;
    }
    if (std::string reason; !engine_.makeDurable(&reason)) {
        engine_.failOnFile(rec.targetPath, reason);
        return;
    }
    if (engine_.checkingChecksum()) {
        return;  // back here once the file matches
    }
    engine_.endTransfer();
    // The cookies go first: a process killed in between never leaves a secret
    // behind its download.
    auto failure = CookieFile::remove(CookieFile::pathFor(rec.definitionPath));
    if (auto storedFailure = removeStoredFiles(rec.definitionPath, rec.progressPath); !failure) {
        failure = storedFailure;
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
