#include "transfer/CompletionActions.h"

#include <filesystem>
#include <optional>

#include "chrome/TrayIconOps.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "transfer/ShutdownAction.h"
#include "transfer/TransferEngine.h"

namespace tandu {

namespace {

constexpr int kSpeedColumn = 1;
constexpr int kSizeColumn = 3;
constexpr int kEtaColumn = 4;

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
    frmMain& f = engine_.form();
    TransferRecord& rec = engine_.record();
    const NumberText& numbers = f.numbers();
    if (engine_.target().isOpen() && !engine_.target().stillNamed()) {
        engine_.pause();  // says so, and keeps the row resumable
        return;
    }
    engine_.endTransfer();

    // The definition goes first: a process killed in between leaves only a
    // stray progress file, never a download that can neither resume nor finish.
    auto failure = removeFile(rec.definitionPath);
    if (auto progressFailure = removeFile(rec.progressPath); !failure) {
        failure = progressFailure;
    }
    for (int i = 1; i <= rec.pieceCount(); ++i) {
        const std::string size = numbers.kb(rec.plan.length(i));
        f.lstPieces.setCell(i - 1, 1, size + "/" + size + "KB");
        f.lstPieces.setCell(i - 1, 2, "-");
        f.lstPieces.setCell(i - 1, 3, "-");
    }
    engine_.pages().resetBufferPage();
    const std::string total = numbers.kb(rec.plan.fileSize);
    f.lstDown.setCell(rec.curRow, kSpeedColumn, "-");
    engine_.pages().setRowState("Completed");
    f.lstDown.setCell(rec.curRow, kSizeColumn, total + "/" + total + "KB");
    f.lstDown.setCell(rec.curRow, kEtaColumn, "-");
    f.tray().setTip("Idle");
    engine_.pages().settleButtons();

    if (failure) {
        engine_.showError(*failure);
    }
    if (f.menAll.checked()) {
        engine_.startNext();
    } else if (f.menShut.checked()) {
        if (auto shutdownFailure =
                ShutdownAction::run(engine_.platform(), f.app().programFolder())) {
            engine_.showError(*shutdownFailure);
        }
    }
}

}  // namespace tandu
