// The main window's side of the downloads: rows, pages, buttons and tray tip
// drawn from what the downloads publish.
#include <algorithm>
#include <set>

#include "services/Application.h"
#include "services/ShutdownAction.h"
#include "text/FormatTimeLeft.h"
#include "transfer/DownloadQueue.h"
#include "transfer/TransferMessages.h"
#include "window/RowMenu.h"
#include "window/TrayIconOps.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

namespace {

constexpr int kSpeedColumn = 1;
constexpr int kStateColumn = 2;
constexpr int kSizeColumn = 3;
constexpr int kEtaColumn = 4;
constexpr int kPieceSizeColumn = 1;
constexpr int kPieceSpeedColumn = 2;
constexpr int kPieceEtaColumn = 3;
// Up to this many rows go one by one, which keeps the list's scroll place;
// more go in one pass, as one by one costs a full shift of the list each.
constexpr std::size_t kOneByOneLimit = 64;

double thousandths(std::int64_t bytes) {
    return static_cast<double>(bytes) / 1000.0;
}

}  // namespace

// ---------------------------------------------------------------- rows

void frmMain::rowAdded(int row) {
    lstDown.addRow(downloads().at(row).text());
    showRow(row, downloads().at(row));
}

void frmMain::rowsRemoved(const std::vector<int>& rows) {
    if (shown_ != nullptr && downloads().indexOf(*shown_) < 0) {
        shown_ = nullptr;  // its download is gone
    }
    if (rows.size() > kOneByOneLimit) {
        const std::set<int> gone(rows.begin(), rows.end());
        lstDown.removeRowsWhere([&gone](int row) { return gone.count(row) != 0; });
        return;
    }
    // Backwards, so the rows still to remove keep their indexes.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        lstDown.removeRow(*it);
    }
}

void frmMain::showRow(int row, const Download& download) {
    const Download::RowTexts& texts = download.row();
    lstDown.setCell(row, 0, download.text());  // the name the server gave, once it did
    lstDown.setCell(row, kSpeedColumn, texts.speed);
    lstDown.setCell(row, kStateColumn, StateText(download.state()));
    lstDown.setCell(row, kSizeColumn, texts.size);
    lstDown.setCell(row, kEtaColumn, texts.eta);
}

// ---------------------------------------------------------------- downloads

Download* frmMain::activeDownload() {
    const int row = lstDown.selectedIndex();
    if (row >= 0 && row < downloads().count() && downloads().at(row).running()) {
        return &downloads().at(row);
    }
    for (int i = 0; i < downloads().count(); ++i) {
        if (downloads().at(i).running() && &downloads().at(i) == shown_) {
            return &downloads().at(i);
        }
    }
    for (int i = 0; i < downloads().count(); ++i) {
        if (downloads().at(i).running()) {
            return &downloads().at(i);
        }
    }
    return nullptr;
}

void frmMain::downloadStarted(Download& download) {
    applyTransferLayout();
    const bool first = downloads().runningCount() == 1;
    lockButtons();
    cmbPause.setEnabled(true);  // also gives up a first request that gets no answer
    // The pages keep to a download that runs; otherwise they take this one.
    if (first || shown_ == nullptr || !shown_->running()) {
        shown_ = &download;
        if (!download.probing()) {
            showPages(download);
        } else {
            lstPieces.clear();
        }
    }
    downloadChanged(download);
}

void frmMain::downloadChanged(Download& download) {
    const int row = downloads().indexOf(download);
    if (row >= 0) {
        showRow(row, download);
    }
    const bool transferring = download.running() && !download.probing();
    if (&download == shown_) {
        if (transferring && lstPieces.rowCount() != download.record().pieceCount()) {
            showPages(download);  // the first answer came, or one connection takes all
        } else if (transferring) {
            showTickFigures(download);
        } else if (download.state() == DownloadState::Completed) {
            showCompletedPieces(download);
            resetBufferPage();
        } else if (download.state() == DownloadState::Paused) {
            resetBufferPage();
        }
    }
    if (!download.running()) {
        if (download.state() == DownloadState::Completed ||
            download.state() == DownloadState::Paused) {
            tray().setTip("Idle");
        }
        if (downloads().runningCount() == 0) {
            setTimersEnabled(false);
            applyIdleLayout();
            cmbPause.setEnabled(false);
            cmbCancel.setEnabled(false);
            cmbDownSel.setEnabled(false);
            cmbClear.setEnabled(true);
        } else {
            if (&download == shown_) {
                if (Download* next = activeDownload()) {
                    showPages(*next);
                }
            }
            showTrayTip();
        }
    } else {
        setTimersEnabled(true);  // a first request waiting to try again counts the seconds too
    }
}

void frmMain::downloadMessage(Download& /*download*/, const UserMessage& message) {
    messages_.show(message);
}

void frmMain::downloadEnded(Download& download) {
    // In the tray nothing else would say so.
    const DownloadState state = download.state();
    if (state == DownloadState::Completed) {
        tray().showMessage({"\"" + download.text() + "\" is complete.", "Download complete",
                            MsgIcon::Information});
    } else if (state == DownloadState::Error) {
        tray().showMessage({"\"" + download.text() + "\" failed. Open the window for the reason.",
                            "Download failed", MsgIcon::Critical});
    }
}

void frmMain::queueFinished(const std::string& heldName) {
    applyIdleLayout();
    if (!heldName.empty()) {
        // Not finished while another process still works on the queue: no
        // shutdown under its feet.
        messages_.show({messages::heldElsewhere(heldName), messages::kErrorTitle,
                        MsgIcon::Critical});
    } else if (menShut.checked()) {
        application_.downloads().settleRemovals();
        if (auto failure = ShutdownAction::run(application_.parts(), app_.programFolder())) {
            messages_.show({*failure, messages::kErrorTitle, MsgIcon::Critical});
        }
    }
}

// ---------------------------------------------------------------- pages

void frmMain::showPages(const Download& download) {
    shown_ = &download;
    if (download.probing()) {
        return;
    }
    showFigures(download);
    lstPieces.clear();
    for (int i = 1; i <= download.record().pieceCount(); ++i) {
        lstPieces.addRow("Connection " + std::to_string(i));
    }
    pb.setValue(0);
    if (download.record().ticks > 0) {
        showTickFigures(download);
    }
}

void frmMain::showFigures(const Download& download) {
    const TransferRecord& rec = download.record();
    const std::int64_t totalBuffer = rec.bufferSize * rec.pieceCount();
    lblURL.setCaption(rec.source ? rec.source->display() : rec.defURL);
    lblSave.setCaption(rec.targetPath);
    lblSize.setCaption(numbers().kb(rec.plan.fileSize) + "KB");
    lblPieces.setCaption(std::to_string(rec.pieceCount()));
    // Buffer sizes are whole kilobytes: no rounding to do.
    lblBuffer.setCaption(numbers().K(rec.bufferSize / 1000) + "KB");
    lblConnBuf.setCaption(std::to_string(rec.pieceCount()));
    lblTotalBuf.setCaption(numbers().K(totalBuffer / 1000) + "KB");
    pbBuffer.setRange(0, totalBuffer);
    pb.setRange(0, rec.plan.fileSize);
    showLimit(download);
}

void frmMain::showLimit(const Download& download) {
    const std::string text =
        RowMenu::limitText(download.ownLimit(), downloads().overallLimit().kbps());
    lblLimit.setCaption(text);
    lblCapLimit.setVisible(!text.empty());
    lblLimit.setVisible(!text.empty());
}

void frmMain::showTickFigures(const Download& download) {
    const TransferRecord& rec = download.record();
    if (rec.ticks == 0) {
        return;
    }
    // One row per connection, showing the stretch it works on.
    for (int c = 1; c <= rec.pieceCount() && c <= lstPieces.rowCount(); ++c) {
        const int k = rec.stretchOf(c);
        if (k == 0) {
            continue;
        }
        const Stretch& p = rec.stretch(k);
        const int row = c - 1;
        lstPieces.setCell(row, 0,
                          "Connection " + std::to_string(c) +
                              (p.piece == c ? "" : " → piece " + std::to_string(p.piece)));
        lstPieces.setCell(row, kPieceSizeColumn,
                          numbers().kb(p.received) + "/" + numbers().kb(p.length) + "KB");
        if (p.done) {
            lstPieces.setCell(row, kPieceSpeedColumn, "-");
            lstPieces.setCell(row, kPieceEtaColumn, "-");
        } else if (p.gaveUp) {
            lstPieces.setCell(row, kPieceSpeedColumn, "Failed");
            lstPieces.setCell(row, kPieceEtaColumn, "-");
        } else if (p.retryIn > 0) {
            lstPieces.setCell(row, kPieceSpeedColumn, "Retrying");
            lstPieces.setCell(row, kPieceEtaColumn, "in " + std::to_string(p.retryIn) + " s");
        } else {
            lstPieces.setCell(row, kPieceSpeedColumn, numbers().kb(p.speed) + "KB/s");
            lstPieces.setCell(row, kPieceEtaColumn,
                              p.speed > 0 ? FormatTimeLeft(p.secondsLeft) : "???");
        }
    }
    if (pbBuffer.max() < rec.totalBuffered) {
        pbBuffer.setMax(rec.totalBuffered);
    }
    pbBuffer.setValue(rec.totalBuffered);
    // Straight into the pattern: halves go away from zero here.
    lblUsedBuf.setCaption(numbers().KAwayFromZero(thousandths(rec.totalBuffered)) + "KB");
    const std::int64_t gaugeMax = pbBuffer.max();
    const std::int64_t percent = gaugeMax > 0
                                     ? NumberText::R(static_cast<double>(rec.totalBuffered) *
                                                     100.0 / static_cast<double>(gaugeMax))
                                     : 0;
    lblPercentBuf.setCaption(std::to_string(percent));
    lblDownloaded.setCaption(numbers().kb(rec.totalReceived) + "KB");
    pb.setValue(rec.totalReceived);
    showLimit(download);
}

void frmMain::showCompletedPieces(const Download& download) {
    const TransferRecord& rec = download.record();
    for (int i = 1; i <= rec.pieceCount() && i <= lstPieces.rowCount(); ++i) {
        const std::string size = numbers().kb(rec.plan.length(i));
        lstPieces.setCell(i - 1, 0, "Connection " + std::to_string(i));
        lstPieces.setCell(i - 1, kPieceSizeColumn, size + "/" + size + "KB");
        lstPieces.setCell(i - 1, kPieceSpeedColumn, "-");
        lstPieces.setCell(i - 1, kPieceEtaColumn, "-");
    }
}

void frmMain::resetBufferPage() {
    pbBuffer.setValue(0);
    for (Label* label : {&lblBuffer, &lblConnBuf, &lblTotalBuf, &lblUsedBuf, &lblPercentBuf}) {
        label->setCaption("-");
    }
}

// ---------------------------------------------------------------- buttons and tray

void frmMain::lockButtons() {
    cmbCancel.setEnabled(false);
    cmbDownSel.setEnabled(false);
    cmbClear.setEnabled(false);
}

void frmMain::settleButtons() {
    const int row = lstDown.selectedIndex();
    if (row < 0 || row >= downloads().count()) {
        return;
    }
    const Download& download = downloads().at(row);
    if (download.running()) {
        cmbPause.setEnabled(true);
        cmbDownSel.setEnabled(false);
        // Cancelling a running download is for when others run beside it.
        cmbCancel.setEnabled(queue().limit() > 1);
        cmbClear.setEnabled(false);
        return;
    }
    const DownloadState state = download.state();
    if (state == DownloadState::Waiting || state == DownloadState::Paused) {
        cmbCancel.setEnabled(true);
        cmbDownSel.setEnabled(true);
        cmbPause.setEnabled(false);
        cmbDownSel.setCaption(state == DownloadState::Waiting ? "Download Selected" : "Resume");
    } else if (state == DownloadState::Completed) {
        cmbCancel.setEnabled(false);
        cmbDownSel.setEnabled(false);
        cmbPause.setEnabled(false);
        cmbDownSel.setCaption("Resume");
    }
    cmbClear.setEnabled(downloads().runningCount() == 0);
}

void frmMain::showTrayTip() {
    const Download* fastest = nullptr;
    int running = 0;
    for (int row = 0; row < downloads().count(); ++row) {
        const Download& d = downloads().at(row);
        if (!d.running() || d.probing()) {
            continue;
        }
        ++running;
        if (fastest == nullptr || d.record().tickBytes > fastest->record().tickBytes) {
            fastest = &d;
        }
    }
    if (fastest == nullptr) {
        return;
    }
    const std::string limit = RowMenu::limitText(running == 1 ? fastest->ownLimit() : 0,
                                                 downloads().overallLimit().kbps());
    tray().setTip((running == 1 ? fastest->tooltip()
                                : std::to_string(running) + " downloads, " + fastest->tooltip()) +
                  (limit.empty() ? "" : " (limit " + limit + ")"));
}

}  // namespace tandu
