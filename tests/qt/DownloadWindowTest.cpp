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

// Three at once: each row live, the pages follow the chosen row, and one is
// paused and resumed while the other two go on.
TEST(DownloadWindow, ThreeAtOnceEachRowLiveAndThePagesFollowTheChosenRow) {
    const std::map<std::string, std::string> files = {{"a.bin", patterned(600'017)},
                                                      {"b.bin", patterned(600'001)},
                                                      {"c.bin", patterned(600'011)}};
    LoopbackServer server(servingFiles(files));
    server.holdBodiesAfter(200'000);
    LiveWindow live(server.port());
    const std::string downloads = prepare(live, {"a.bin", "b.bin", "c.bin"}, "2");
    live.writeSettings("1.0\r\n4\r\n" + downloads + "\r\n128KB\r\n3\r\n");
    live.open();
    Controls c(live);
    live.action("menAll")->trigger();
    std::map<std::string, int> row;
    for (int i = 0; i < 3; ++i) {
        row[c.rows.cell(i, 0).toStdString()] = i;
    }
    clickRow(c.list, 2);
    click(c.start);
    ASSERT_TRUE(waitFor([&] { return server.held() == 6; }));
    ASSERT_TRUE(waitFor([&] {
        for (int i = 0; i < 3; ++i) {
            if (!c.rows.cell(i, 3).startsWith("400/")) {
                return false;
            }
        }
        return true;
    }));
    for (const auto& [name, i] : row) {
        EXPECT_EQ(c.rows.cell(i, 2), "Downloading");
        EXPECT_TRUE(c.rows.cell(i, 1).endsWith("KB/s"));
        clickRow(c.list, i);
        EXPECT_EQ(live.need<QLabel>("lblURL")->text().toStdString(), "http://127.0.0.1/" + name);
        EXPECT_EQ(live.need<QLabel>("lblDownloaded")->text(), "400KB");
        EXPECT_TRUE(c.pause->isEnabled());
    }
    live.action("menTray")->trigger();
    ASSERT_TRUE(waitFor([&] { return live.tray.tip.find("3 downloads, ") == 0; })) << live.tray.tip;
    live.trayNotify(515);

    clickRow(c.list, row["a.bin"]);
    click(c.pause);
    EXPECT_EQ(c.rows.cell(row["a.bin"], 2), "Paused");
    EXPECT_EQ(c.rows.cell(row["b.bin"], 2), "Downloading");
    clickRow(c.list, row["a.bin"]);
    ASSERT_TRUE(c.start->isEnabled());
    EXPECT_EQ(c.start->text(), "Resume");
    click(c.start);
    // What a still misses is under the hold: it completes while the others wait.
    ASSERT_TRUE(waitFor([&] { return c.rows.cell(row["a.bin"], 2) == "Completed"; }));
    EXPECT_EQ(c.rows.cell(row["c.bin"], 2), "Downloading");
    EXPECT_TRUE(c.tabs->isVisible());
    server.release();
    ASSERT_TRUE(waitFor([&] {
        return c.rows.cell(row["b.bin"], 2) == "Completed" &&
               c.rows.cell(row["c.bin"], 2) == "Completed";
    }));
    for (const auto& [name, bytes] : files) {
        EXPECT_TRUE(readFile(downloads + "/" + name) == bytes) << name;
    }
    EXPECT_FALSE(c.tabs->isVisible());
    EXPECT_TRUE(live.driver.boxes.empty());
}

}  // namespace
}  // namespace tandu
