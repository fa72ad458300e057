#include "transfer/ProgressTimer.h"

#include "chrome/TrayIconOps.h"
#include "shell/frmMain.h"
#include "transfer/FormatTimeLeft.h"
#include "transfer/TransferEngine.h"

namespace tandu {

namespace {

constexpr int kSpeedColumn = 1;
constexpr int kSizeColumn = 3;
constexpr int kEtaColumn = 4;
constexpr int kPieceSizeColumn = 1;
constexpr int kPieceSpeedColumn = 2;
constexpr int kPieceEtaColumn = 3;

double thousandths(std::int64_t bytes) {
    return static_cast<double>(bytes) / 1000.0;
}

}  // namespace

void ProgressTimer::tick() {
    frmMain& f = engine_.form();
    TransferRecord& rec = engine_.record();
    if (!rec.downloading || rec.probing) {
        return;
    }
    const NumberText& numbers = f.numbers();
    rec.tickBytes = 0;
    rec.totalReceived = 0;
    rec.totalBuffered = 0;
    for (int i = 1; i <= rec.pieceCount(); ++i) {
        PieceState& p = rec.piece(i);
        const int row = i - 1;
        const std::int64_t delta = p.received - p.lastReceived;
        rec.tickBytes += delta;
        rec.totalReceived += p.received;
        rec.totalBuffered += p.buffered();
        f.lstPieces.setCell(row, kPieceSizeColumn,
                            numbers.kb(p.received) + "/" + numbers.kb(p.length) + "KB");
        if (p.done) {
            f.lstPieces.setCell(row, kPieceSpeedColumn, "-");
            f.lstPieces.setCell(row, kPieceEtaColumn, "-");
        } else {
            f.lstPieces.setCell(row, kPieceSpeedColumn, numbers.kb(delta) + "KB/s");
            rec.secondsLeft = NumberText::R(static_cast<double>(p.length - p.received) /
                                            static_cast<double>(delta + 1));
            f.lstPieces.setCell(row, kPieceEtaColumn, FormatTimeLeft(rec.secondsLeft));
        }
        p.lastReceived = p.received;
    }

    if (f.pbBuffer.max() < rec.totalBuffered) {
        f.pbBuffer.setMax(rec.totalBuffered);
    }
    f.pbBuffer.setValue(rec.totalBuffered);
    // Straight into the pattern: halves go away from zero here.
    f.lblUsedBuf.setCaption(numbers.KAwayFromZero(thousandths(rec.totalBuffered)) + "KB");
    const std::int64_t gaugeMax = f.pbBuffer.max();
    const std::int64_t percent = gaugeMax > 0
                                     ? NumberText::R(static_cast<double>(rec.totalBuffered) *
                                                     100.0 / static_cast<double>(gaugeMax))
                                     : 0;
    f.lblPercentBuf.setCaption(std::to_string(percent));

    const int row = rec.curRow;
    f.lstDown.setCell(row, kSpeedColumn, numbers.kb(rec.tickBytes) + "KB/s");
    f.lstDown.setCell(row, kSizeColumn,
                      numbers.kb(rec.totalReceived) + "/" + numbers.kb(rec.plan.fileSize) + "KB");
    rec.secondsLeft = NumberText::R(static_cast<double>(rec.plan.fileSize - rec.totalReceived) /
                                    static_cast<double>(rec.tickBytes + 1));
    f.lstDown.setCell(row, kEtaColumn, FormatTimeLeft(rec.secondsLeft));
    f.lblDownloaded.setCaption(numbers.kb(rec.totalReceived) + "KB");
    f.pb.setValue(rec.totalReceived);
    f.tray().setTip(tooltip());
}

std::string ProgressTimer::tooltip() const {
    const TransferRecord& rec = engine_.record();
    return "Downloading " + engine_.form().lstDown.text(rec.curRow) + " @ " +
           engine_.form().numbers().kb(rec.tickBytes) + "KB/s";
}

}  // namespace tandu
