#include "transfer/StartProcedure.h"

#include <algorithm>

#include "catalogue/DefinitionFile.h"
#include "catalogue/FileNames.h"
#include "catalogue/TextFile.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "transfer/HttpRequests.h"
#include "transfer/ProgressFile.h"
#include "transfer/ShutdownAction.h"
#include "transfer/TargetFile.h"
#include "transfer/TransferEngine.h"
#include "transfer/TransferMessages.h"

namespace tandu {

namespace {

constexpr int kStateColumn = 2;

std::optional<int> pieceCount(const std::string& line) {
    const auto value = textfile::parseWholeNumber(line);
    if (!value || *value < 1 || *value > PiecePlan::kMostPieces) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// Line 4 as a folder ending in "/".
std::string folderOf(const std::string& line) {
    std::string folder = textfile::trim(line);
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

void StartProcedure::run() {
    if (running_) {
        again_ = true;
        return;
    }
    running_ = true;
    do {
        again_ = false;
        runOnce();
    } while (again_ && engine_.form().menAll.checked() && !engine_.downloading());
    running_ = false;
}

void StartProcedure::next() {
    run();
}

bool StartProcedure::heldElsewhere(int row) const {
    frmMain& f = engine_.form();
    return engine_.platform().locks.tryAcquire(
               DefinitionPath(f.app().definitionsFolder(), f.lstDown.text(row))) == nullptr;
}

StartProcedure::Pick StartProcedure::pickRow() const {
    const ListView& rows = engine_.form().lstDown;
    Pick pick;
    int waiting = -1;
    for (int row = 0; row < rows.rowCount(); ++row) {
        const std::string& state = rows.cell(row, kStateColumn);
        const bool paused = state == "Paused";
        if (!paused && (state != "Waiting" || waiting >= 0)) {
            continue;
        }
        if (heldElsewhere(row)) {
            if (pick.heldName.empty()) {
                pick.heldName = rows.text(row);
            }
            continue;
        }
        if (paused) {
            pick.row = row;
            return pick;
        }
        waiting = row;
    }
    pick.row = waiting;
    return pick;
}

void StartProcedure::runOnce() {
    frmMain& f = engine_.form();
    if (engine_.downloading()) {
        return;
    }
    if (f.menAll.checked()) {
        const Pick pick = pickRow();
        if (pick.row < 0) {
            f.applyIdleLayout();
            if (!pick.heldName.empty()) {
                // Not finished while another process still works on the
                // queue: no shutdown under its feet.
                engine_.showError(messages::heldElsewhere(pick.heldName));
            } else if (f.menShut.checked()) {
                if (auto failure =
                        ShutdownAction::run(engine_.platform(), f.app().programFolder())) {
                    engine_.showError(*failure);
                }
            }
            return;
        }
        f.lstDown.select(pick.row);
    }
    const int row = f.lstDown.selectedIndex();
    if (row < 0) {
        return;
    }
    if (!FileExists(f.app().settingsPath())) {
        engine_.showError(messages::kConfigMissing);
        return;
    }
    readBufferSize();
    const std::string& state = f.lstDown.cell(row, kStateColumn);
    if (state == "Waiting") {
        fresh(row);
    } else if (state == "Paused") {
        resume(row);
    }
}

void StartProcedure::readBufferSize() {
    const auto settings = SettingsFile::read(engine_.form().app().settingsPath());
    if (!settings || !settings->buffer) {
        return;  // keeps the size it had
    }
    if (const auto bytes = SettingsFile::bufferBytes(*settings->buffer)) {
        engine_.record().bufferSize = *bytes;
    }
}

bool StartProcedure::takeDefinition(int row, const DefinitionFile& definition) {
    frmMain& f = engine_.form();
    TransferRecord& rec = engine_.record();
    const std::string name = f.lstDown.text(row);
    rec.curRow = row;
    rec.fileName = definition.fileName;
    rec.defState = definition.state;
    rec.defURL = definition.url;
    rec.saveFolder = definition.saveFolder;
    rec.defPieces = definition.pieces;
    rec.definitionPath = DefinitionPath(f.app().definitionsFolder(), name);
    rec.progressPath = ProgressPathFor(rec.definitionPath);
    rec.targetPath = folderOf(definition.saveFolder) + name;
    rec.host = SplitHost(definition.url);
    rec.oneConnection = false;
    if (rec.host.empty() || textfile::hasControlCharacter(definition.url)) {
        // Nothing can be fetched from it: the row fails as an unanswered probe does.
        engine_.failStart(f.menAll.checked()
                              ? std::nullopt
                              : std::optional<std::string>(messages::kCannotDownload));
        return false;
    }
    if (!engine_.acquireLock(rec.definitionPath)) {
        engine_.showError(messages::heldElsewhere(name));
        return false;
    }
    return true;
}

std::optional<DefinitionFile> StartProcedure::readDefinition(int row) {
    frmMain& f = engine_.form();
    auto definition =
        DefinitionFile::read(DefinitionPath(f.app().definitionsFolder(), f.lstDown.text(row)));
    if (!definition) {
        engine_.showError(messages::kDefinitionMissing);
    }
    return definition;
}

void StartProcedure::fresh(int row) {
    frmMain& f = engine_.form();
    TransferRecord& rec = engine_.record();
    const auto definition = readDefinition(row);
    if (!definition) {
        return;
    }
    const auto pieces = pieceCount(definition->pieces);
    if (definition->lineCount < 5 || !pieces) {
        engine_.showError(messages::kStartFailed);
        return;
    }
    if (!takeDefinition(row, *definition)) {
        return;
    }
    if (TargetFile::occupied(rec.targetPath)) {
        engine_.endTransfer();
        engine_.showError(messages::targetTaken(rec.targetPath));
        return;
    }
    rec.url = definition->url;
    rec.plan = PiecePlan{};
    rec.plan.pieces = *pieces;
    rec.pieces.clear();
    rec.probe.clear();
    engine_.createConnections(*pieces);
    f.applyTransferLayout();
    engine_.pages().lockButtons();
    f.cmbPause.setEnabled(true);  // gives up a probe that gets no answer
    rec.downloading = true;
    rec.probing = true;
    engine_.connect(0);
}

void StartProcedure::resume(int row) {
    frmMain& f = engine_.form();
    TransferRecord& rec = engine_.record();
    const auto definition = readDefinition(row);
    if (!definition) {
        return;
    }
    const auto pieces = pieceCount(definition->pieces);
    const auto size = textfile::parseWholeNumber(definition->size);
    const auto pieceSize = textfile::parseWholeNumber(definition->pieceSize);
    const auto remainder = textfile::parseWholeNumber(definition->remainder);
    PiecePlan plan;
    if (pieces && size && pieceSize && remainder) {
        plan = PiecePlan{*pieces, *size, *pieceSize, *remainder};
    }
    if (definition->lineCount < 8 || !plan.consistent()) {
        engine_.showError(messages::kStartFailed);
        return;
    }
    // Everything that can refuse the resume is asked before anything changes.
    auto counts = ProgressFile::read(
        ProgressPathFor(DefinitionPath(f.app().definitionsFolder(), f.lstDown.text(row))), plan);
    if (!counts) {
        engine_.showError(messages::kDefinitionMissing);
        return;
    }
    if (!takeDefinition(row, *definition)) {
        return;
    }
    rec.defSize = definition->size;
    rec.defPieceSize = definition->pieceSize;
    rec.defRemainder = definition->remainder;
    rec.url = textfile::trim(definition->url);
    rec.plan = plan;
    std::string reason;
    if (!engine_.target().open(rec.targetPath, false, &reason)) {
        engine_.endTransfer();
        engine_.showError(messages::fileError(rec.targetPath, reason));
        return;
    }
    // Counted bytes the target file does not hold (it was deleted or cut
    // short meanwhile) are fetched again.
    bool recount = false;
    for (int i = 1; i <= plan.pieces; ++i) {
        auto& count = (*counts)[static_cast<std::size_t>(i - 1)];
        const std::int64_t held = engine_.target().heldFrom(plan.start(i), count);
        recount = recount || held != count;
        count = held;
    }
    rec.layOutPieces(*counts);
    rec.probe.clear();
    engine_.createConnections(plan.pieces);
    f.applyTransferLayout();
    engine_.pages().lockButtons();
    rec.downloading = true;
    rec.probing = false;
    engine_.pages().showDownloadFigures();
    f.pb.setValue(0);
    engine_.pages().setRowState("Downloading");
    engine_.pages().listPieces();
    if (recount && !engine_.rewriteProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return;
    }
    for (int i = 1; i <= plan.pieces; ++i) {
        if (!rec.piece(i).done) {
            engine_.connect(i);
        }
    }
    f.tmr.setEnabled(true);
    f.cmbPause.setEnabled(true);
    if (rec.allPiecesDone()) {
        engine_.runCompletion();
    }
}

void StartProcedure::rowSelected() {
    frmMain& f = engine_.form();
    const int row = f.lstDown.selectedIndex();
    if (f.lstDown.rowCount() == 0 || engine_.downloading() || row < 0) {
        return;
    }
    const std::string& state = f.lstDown.cell(row, kStateColumn);
    if (state == "Waiting" || state == "Paused") {
        f.cmbCancel.setEnabled(true);
        f.cmbDownSel.setEnabled(true);
        f.cmbPause.setEnabled(false);
        f.cmbDownSel.setCaption(state == "Waiting" ? "Download Selected" : "Resume");
    } else if (state == "Completed") {
        f.cmbCancel.setEnabled(false);
        f.cmbDownSel.setEnabled(false);
        f.cmbPause.setEnabled(false);
        f.cmbDownSel.setCaption("Resume");
    }
    f.cmbClear.setEnabled(true);
}

}  // namespace tandu
