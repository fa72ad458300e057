#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <filesystem>
#include <map>
#include <vector>

#include "LiveWindow.h"
#include "ServedFiles.h"
#include "ShownList.h"
#include "catalogue/TextFile.h"

namespace tandu {
namespace {

using namespace test;

constexpr std::size_t kBig = 3'000'017;  // three pieces of about 1,000KB

// Settings with small buffers and a downloads folder; one "Waiting"
// definition per name, fetched from the loopback server.
std::string prepare(LiveWindow& live, const std::vector<std::string>& names,
                    const std::string& connections) {
    const std::string downloads = live.folder / "downloads";
    std::filesystem::create_directories(downloads);
    live.writeSettings("1.0\r\n4\r\n" + downloads + "\r\n128KB\r\n");
    for (const std::string& name : names) {
        writeFile(live.definitionPath(name), name + "\r\nWaiting\r\nhttp://127.0.0.1/" + name +
                                                 "\r\n" + downloads + "/\r\n" + connections +
                                                 "\r\n");
    }
    return downloads;
}

struct Controls {
    explicit Controls(LiveWindow& live)
        : list(live.need<QTreeView>("lstDown")),
          pieces(live.need<QTreeView>("lstPieces")),
          tabs(live.need<QTabWidget>("Tabs")),
          start(live.need<QPushButton>("cmbDownSel")),
          pause(live.need<QPushButton>("cmbPause")),
          cancel(live.need<QPushButton>("cmbCancel")),
          clear(live.need<QPushButton>("cmbClear")),
          rows(list),
          pieceRows(pieces) {}
    QTreeView* list;
    QTreeView* pieces;
    QTabWidget* tabs;
    QPushButton* start;
    QPushButton* pause;
    QPushButton* cancel;
    QPushButton* clear;
    ShownList rows;
    ShownList pieceRows;

    bool piecesRead(const QString& size) const {
        for (int row = 0; row < pieceRows.rows(); ++row) {
            if (pieceRows.cell(row, 1) != size) {
                return false;
            }
        }
        return pieceRows.rows() > 0;
    }
};

struct PieceProgress {
    std::int64_t start;
    std::int64_t received;
};

// Where each piece stands, from the progress file's "received-length" lines.
std::vector<PieceProgress> progressOf(const std::string& progressPath) {
    std::vector<PieceProgress> pieces;
    std::int64_t start = 0;
    const auto lines = textfile::readLines(progressPath);
    if (!lines) {
        return pieces;
    }
    for (const std::string& line : *lines) {
        const std::size_t dash = line.find('-');
        pieces.push_back({start, std::stoll(line.substr(0, dash))});
        start += std::stoll(line.substr(dash + 1));
    }
    return pieces;
}

bool requested(LoopbackServer& server, const std::string& text) {
    for (const std::string& request : server.requests()) {
        if (request.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(DownloadWindow, RunsToCompletedFromALoopbackServerShowingEveryPage) {
    const std::string file = patterned(kBig);
    LoopbackServer server(servingFiles({{"f.bin", file}}));
    server.holdBodiesAfter(300'000);
    LiveWindow live(server.port());
    const std::string downloads = prepare(live, {"f.bin"}, "3");
    live.open();
    Controls c(live);
    const qt::TwipsScale scale = live.ui.scale();

    EXPECT_FALSE(c.start->isEnabled());
    clickRow(c.list, 0);
    ASSERT_TRUE(c.start->isEnabled());
    EXPECT_EQ(c.start->text(), "Download Selected");
    click(c.start);
    ASSERT_TRUE(waitFor([&] { return server.held() == 3; }));

    // The transfer layout.
    EXPECT_EQ(c.rows.cell(0, 2), "Downloading");
    EXPECT_TRUE(c.tabs->isVisible());
    EXPECT_EQ(c.pause->y(), scale.px(frmMain::kTransferButtonTop));
    EXPECT_EQ(c.list->height(), scale.px(frmMain::kTransferListHeight));
    EXPECT_TRUE(c.pause->isEnabled());
    EXPECT_FALSE(c.start->isEnabled());
    EXPECT_FALSE(c.cancel->isEnabled());
    EXPECT_TRUE(live.need<QWidget>("fraGen")->isVisible());
    EXPECT_TRUE(live.need<QProgressBar>("pb")->isVisible());
    EXPECT_EQ(live.need<QLabel>("lblURL")->text(), "http://127.0.0.1/f.bin");
    EXPECT_EQ(live.need<QLabel>("lblSave")->text().toStdString(), downloads + "/f.bin");
    EXPECT_EQ(live.need<QLabel>("lblSize")->text(), "3,000KB");
    EXPECT_EQ(live.need<QLabel>("lblPieces")->text(), "3");

    // The Pieces page, chosen on the tab bar, fills with each connection's figures.
    clickTab(c.tabs, 1);
    EXPECT_TRUE(c.pieces->isVisible());
    EXPECT_FALSE(live.need<QWidget>("fraGen")->isVisible());
    EXPECT_EQ(c.pieces->pos(), QPoint(scale.px(frmMain::kPageLeft), scale.px(frmMain::kPageTop)));
    ASSERT_EQ(c.pieces->model()->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(c.pieceRows.cell(row, 0), QString("Connection %1").arg(row + 1));
    }
    // Each connection holds exactly what the server let through once the
    // gauge counts all of it; the figures of that tick follow.
    auto* gauge = live.need<QProgressBar>("pb");
    EXPECT_EQ(gauge->maximum(), static_cast<int>(kBig));
    ASSERT_TRUE(waitFor([&] { return gauge->value() == 900'000; })) << gauge->value();
    EXPECT_TRUE(c.piecesRead("300/1,000KB")) << c.pieceRows.cell(0, 1).toStdString();
    EXPECT_EQ(c.rows.cell(0, 3), "900/3,000KB");

    clickTab(c.tabs, 2);
    EXPECT_FALSE(c.pieces->isVisible());
    EXPECT_TRUE(live.need<QWidget>("fraBuf")->isVisible());
    EXPECT_TRUE(live.need<QProgressBar>("pbBuffer")->isVisible());
    EXPECT_EQ(live.need<QLabel>("lblBuffer")->text(), "128KB");
    EXPECT_EQ(live.need<QLabel>("lblConnBuf")->text(), "3");
    EXPECT_EQ(live.need<QLabel>("lblTotalBuf")->text(), "384KB");
    clickTab(c.tabs, 0);
    EXPECT_TRUE(live.need<QWidget>("fraGen")->isVisible());

    // In the tray meanwhile: the tip follows the transfer, which ends there.
    live.action("menTray")->trigger();
    EXPECT_FALSE(live.window->isVisible());
    EXPECT_EQ(live.tray.tip.rfind("Downloading f.bin @ ", 0), 0u) << live.tray.tip;
    server.release();
    ASSERT_TRUE(waitFor([&] { return c.rows.cell(0, 2) == "Completed"; }));
    EXPECT_EQ(live.tray.tip, "Idle");
    live.trayNotify(515);
    EXPECT_TRUE(live.window->isVisible());
    EXPECT_EQ(c.rows.cell(0, 1), "-");
    EXPECT_EQ(c.rows.cell(0, 4), "-");
    EXPECT_TRUE(readFile(downloads + "/f.bin") == file);
    EXPECT_FALSE(fileExists(live.definitionPath("f.bin")));
    EXPECT_FALSE(fileExists(live.folder.definitions() + "f.bin.dwn"));
    EXPECT_FALSE(c.tabs->isVisible());
    EXPECT_EQ(c.pause->y(), scale.px(frmMain::kIdleButtonTop));
    EXPECT_TRUE(live.driver.boxes.empty());
}

// Each piece was asked only for the bytes it still needed.
void expectAskedFrom(LoopbackServer& server, const std::vector<PieceProgress>& pieces) {
    for (const PieceProgress& piece : pieces) {
        const std::string range = "Range: bytes=" + std::to_string(piece.start + piece.received);
        EXPECT_TRUE(requested(server, range + "-")) << range;
    }
}

TEST(DownloadWindow, PausedTwiceAcrossARestartAndResumedEndsIdentical) {
    const std::string file = patterned(kBig, 7);
    LoopbackServer server(servingFiles({{"f.bin", file}}));
    LiveWindow live(server.port());
    const std::string downloads = prepare(live, {"f.bin"}, "3");
    const std::string progress = live.folder.definitions() + "f.bin.dwn";
    live.open();

    std::vector<PieceProgress> pieces;
    for (int round = 1; round <= 2; ++round) {
        Controls c(live);
        server.holdBodiesAfter(250'000);
        clickRow(c.list, 0);
        EXPECT_EQ(c.start->text(), round == 1 ? "Download Selected" : "Resume");
        click(c.start);
        ASSERT_TRUE(waitFor([&] { return server.held() == 3; }));
        expectAskedFrom(server, pieces);
        clickTab(c.tabs, 1);
        auto* gauge = live.need<QProgressBar>("pb");
        ASSERT_TRUE(waitFor([&] { return gauge->value() == 750'000 * round; })) << gauge->value();
        EXPECT_TRUE(c.piecesRead(QString("%1/1,000KB").arg(250 * round)))
            << c.pieceRows.cell(0, 1).toStdString();

        click(c.pause);
        EXPECT_EQ(c.rows.cell(0, 2), "Paused");
        EXPECT_FALSE(c.tabs->isVisible());
        EXPECT_FALSE(c.pause->isEnabled());
        pieces = progressOf(progress);
        ASSERT_EQ(pieces.size(), 3u);
        for (const PieceProgress& piece : pieces) {
            EXPECT_EQ(piece.received, 250'000 * round);
        }
        server.release();
        ASSERT_TRUE(waitFor([&] { return server.held() == 0; }));

        if (round == 1) {
            // File -> Exit, and the next start finds the download paused.
            live.action("menExit")->trigger();
            EXPECT_EQ(live.ui.endProgramCalls, 1);
            live.restart();
            auto* list = live.need<QTreeView>("lstDown");
            ASSERT_EQ(list->model()->rowCount(), 1);
            EXPECT_EQ(cellText(list, 0, 2), "Paused");
            EXPECT_EQ(cellText(list, 0, 3), "750/3,000KB");
        }
    }
    Controls c(live);
    clickRow(c.list, 0);
    click(c.start);
    ASSERT_TRUE(waitFor([&] { return c.rows.cell(0, 2) == "Completed"; }));
    expectAskedFrom(server, pieces);
    EXPECT_TRUE(readFile(downloads + "/f.bin") == file);
    EXPECT_FALSE(fileExists(progress));
    EXPECT_TRUE(live.driver.boxes.empty());
}

TEST(DownloadWindow, ExitMidTransferAndTheNextStartResumesToAnIdenticalFile) {
    const std::string file = patterned(kBig, 9);
    LoopbackServer server(servingFiles({{"f.bin", file}}));
    LiveWindow live(server.port());
    const std::string downloads = prepare(live, {"f.bin"}, "3");
    const std::string progress = live.folder.definitions() + "f.bin.dwn";
    live.open();
    {
        Controls c(live);
        server.holdBodiesAfter(300'000);
        clickRow(c.list, 0);
        click(c.start);
        ASSERT_TRUE(waitFor([&] { return server.held() == 3; }));
        auto* gauge = live.need<QProgressBar>("pb");
        ASSERT_TRUE(waitFor([&] { return gauge->value() == 900'000; })) << gauge->value();
    }
    // Exit does not pause: what was buffered and not yet written is lost,
    // and the progress file counts only what was written.
    live.action("menExit")->trigger();
    live.restart();
    server.release();
    ASSERT_TRUE(waitFor([&] { return server.held() == 0; }));
    const std::vector<PieceProgress> pieces = progressOf(progress);
    ASSERT_EQ(pieces.size(), 3u);
    for (const PieceProgress& piece : pieces) {
        EXPECT_GT(piece.received, 0);
    }
    Controls c(live);
    EXPECT_EQ(c.rows.cell(0, 2), "Paused");
    clickRow(c.list, 0);
    click(c.start);
    ASSERT_TRUE(waitFor([&] { return c.rows.cell(0, 2) == "Completed"; }));
    expectAskedFrom(server, pieces);
    EXPECT_TRUE(readFile(downloads + "/f.bin") == file);
    EXPECT_TRUE(live.driver.boxes.empty());
}

TEST(DownloadWindow, CancelOfAPausedDownloadTakesItsRowAndFiles) {
    LoopbackServer server(servingFiles({{"f.bin", patterned(kBig)}}));
    LiveWindow live(server.port());
    const std::string downloads = prepare(live, {"f.bin"}, "3");
    live.open();
    Controls c(live);
    server.holdBodiesAfter(250'000);
    clickRow(c.list, 0);
    click(c.start);
    ASSERT_TRUE(waitFor([&] { return server.held() == 3; }));
    ASSERT_TRUE(waitFor([&] { return c.piecesRead("250/1,000KB"); }));
    click(c.pause);
    server.release();
    ASSERT_TRUE(fileExists(downloads + "/f.bin"));
    ASSERT_TRUE(fileExists(live.folder.definitions() + "f.bin.dwn"));

    clickRow(c.list, 0);
    ASSERT_TRUE(c.cancel->isEnabled());
    click(c.cancel);
    EXPECT_EQ(c.list->model()->rowCount(), 0);
    EXPECT_FALSE(fileExists(downloads + "/f.bin"));
    EXPECT_FALSE(fileExists(live.definitionPath("f.bin")));
    EXPECT_FALSE(fileExists(live.folder.definitions() + "f.bin.dwn"));
    // Nothing left to act on.
    for (QPushButton* button : {c.start, c.pause, c.cancel, c.clear}) {
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(live.driver.boxes.empty());
}

TEST(DownloadWindow, DownloadAllFetchesEveryRowInTurnAlsoOneAddedMeanwhile) {
    const std::map<std::string, std::string> files = {{"a.bin", patterned(400'000, 1)},
                                                      {"b.bin", patterned(700'001, 2)},
                                                      {"c.bin", patterned(300'003, 3)},
                                                      {"d.bin", patterned(250'000, 4)}};
    LoopbackServer server(servingFiles(files));
    LiveWindow live(server.port());
    const std::string downloads = prepare(live, {"a.bin", "b.bin", "c.bin"}, "2");
    live.open();
    Controls c(live);
    ASSERT_EQ(c.list->model()->rowCount(), 3);
    auto completed = [&](int rows) {
        for (int row = 0; row < rows; ++row) {
            if (c.rows.cell(row, 2) != "Completed") {
                return false;
            }
        }
        return true;
    };

    QAction* all = live.action("menAll");
    all->trigger();
    EXPECT_TRUE(all->isChecked());
    server.holdBodiesAfter(100'000);
    // The last row chosen; "Download all" goes from the top anyway.
    clickRow(c.list, 2);
    click(c.start);
    ASSERT_TRUE(waitFor([&] { return server.held() == 2; }));
    EXPECT_EQ(c.rows.cell(0, 2), "Downloading");

    // The transfers go on behind the Add URL dialog, and the row it adds joins them.
    live.driver.then("frmURL", [&](QWidget* dialog) {
        server.release();
        EXPECT_TRUE(waitFor([&] { return completed(2); }));
        typeInto(need<QLineEdit>(dialog, "txtLink"), "http://127.0.0.1/d.bin");
        click(need<QPushButton>(dialog, "cmbOK"));
    });
    click(live.need<QWidget>("imgBtn0"));
    ASSERT_EQ(c.list->model()->rowCount(), 4);
    EXPECT_EQ(c.rows.cell(3, 0), "d.bin");
    ASSERT_TRUE(waitFor([&] { return completed(4); }));

    std::vector<std::string> probes;
    for (const std::string& request : server.requests()) {
        if (request.rfind("HEAD ", 0) == 0) {
            probes.push_back(request);
        }
    }
    std::vector<std::string> inListOrder;
    for (int row = 0; row < 4; ++row) {
        const std::string name = c.rows.cell(row, 0).toStdString();
        inListOrder.push_back("HEAD http://127.0.0.1/" + name + " HTTP/1.0\r\n\r\n");
        EXPECT_TRUE(readFile(downloads + "/" + name) == files.at(name)) << name;
    }
    EXPECT_EQ(probes, inListOrder);
    EXPECT_FALSE(c.tabs->isVisible());

    click(c.clear);
    EXPECT_EQ(c.list->model()->rowCount(), 0);
    EXPECT_FALSE(c.clear->isEnabled());
    EXPECT_TRUE(live.driver.boxes.empty());
}

}  // namespace
}  // namespace tandu
