#include "transfer/TransferPages.h"

#include "shell/frmMain.h"
#include "transfer/TransferEngine.h"

namespace tandu {

namespace {
constexpr int kStateColumn = 2;
}  // namespace

void TransferPages::showDownloadFigures() {
    frmMain& f = engine_.form();
    const TransferRecord& rec = engine_.record();
    const NumberText& numbers = f.numbers();
    const std::int64_t totalBuffer = rec.bufferSize * rec.pieceCount();
    f.lblURL.setCaption(rec.defURL);
    f.lblSave.setCaption(rec.targetPath);
    f.lblSize.setCaption(numbers.kb(rec.plan.fileSize) + "KB");
    f.lblPieces.setCaption(std::to_string(rec.pieceCount()));
    // Buffer sizes are whole kilobytes: no rounding to do.
    f.lblBuffer.setCaption(numbers.K(rec.bufferSize / 1000) + "KB");
    f.lblConnBuf.setCaption(std::to_string(rec.pieceCount()));
    f.lblTotalBuf.setCaption(numbers.K(totalBuffer / 1000) + "KB");
    f.pbBuffer.setRange(0, totalBuffer);
    f.pb.setRange(0, rec.plan.fileSize);
}

void TransferPages::listPieces() {
    frmMain& f = engine_.form();
    f.lstPieces.clear();
    for (int i = 1; i <= engine_.record().pieceCount(); ++i) {
        f.lstPieces.addRow("Connection " + std::to_string(i));
    }
}

void TransferPages::resetBufferPage() {
    frmMain& f = engine_.form();
    f.pbBuffer.setValue(0);
    for (Label* label :
         {&f.lblBuffer, &f.lblConnBuf, &f.lblTotalBuf, &f.lblUsedBuf, &f.lblPercentBuf}) {
        label->setCaption("-");
    }
}

void TransferPages::setRowState(const std::string& state) {
    engine_.form().lstDown.setCell(engine_.record().curRow, kStateColumn, state);
}

void TransferPages::settleButtons() {
    frmMain& f = engine_.form();
    f.cmbPause.setEnabled(false);
    f.cmbCancel.setEnabled(false);
    f.cmbDownSel.setEnabled(false);
    f.cmbClear.setEnabled(true);
}

void TransferPages::lockButtons() {
    frmMain& f = engine_.form();
    f.cmbCancel.setEnabled(false);
    f.cmbDownSel.setEnabled(false);
    f.cmbClear.setEnabled(false);
}

}  // namespace tandu
