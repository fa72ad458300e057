#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
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
#include "TestProgram.h"

namespace tandu {
namespace {

using namespace test;

// Three at once: each row live, the pages (General, Pieces, Buffer) follow
// the chosen row, and one is paused and resumed while the other two go on.
TEST(DownloadWindow, ThreeAtOnceEachRowLiveAndThePagesFollowTheChosenRow) {
    const std::map<std::string, std::string> files = {{"a.bin", patterned(600'017)},
                                                      {"b.bin", patterned(600'001)},
                                                      {"c.bin", patterned(600'011)}};
    LoopbackServer server(servingFiles(files));
    server.holdBodiesAfter(200'000);
    LiveWindow live(server.port());
    const std::string downloads = live.folder / "downloads";
    std::filesystem::create_directories(downloads);
    live.writeSettings("1.0\r\n4\r\n" + downloads + "\r\n128KB\r\n3\r\n");
    for (const auto& [name, bytes] : files) {
        writeFile(live.definitionPath(name), name + "\r\nWaiting\r\nhttp://127.0.0.1/" + name +
                                                 "\r\n" + downloads + "/\r\n2\r\n");
    }
    live.open();
    live.form().downloads().setup().ranges = wholeRanges();  // two pieces of a small file
    auto* list = live.need<QTreeView>("lstDown");
    auto* tabs = live.need<QTabWidget>("Tabs");
    auto* start = live.need<QPushButton>("cmbDownSel");
    auto* pause = live.need<QPushButton>("cmbPause");
    ShownList rows(list);
    ShownList pieceRows(live.need<QTreeView>("lstPieces"));
    live.action("menAll")->trigger();
    std::map<std::string, int> row;
    for (int i = 0; i < 3; ++i) {
        row[rows.cell(i, 0).toStdString()] = i;
    }
    clickRow(list, 2);
    click(start);
    ASSERT_TRUE(waitFor([&] { return server.held() == 6; }));
    ASSERT_TRUE(waitFor([&] {
        for (int i = 0; i < 3; ++i) {
            if (!rows.cell(i, 3).startsWith("400/")) {
                return false;
            }
        }
        return true;
    }));
    for (const auto& [name, i] : row) {
        EXPECT_EQ(rows.cell(i, 2), "Downloading");
        EXPECT_TRUE(rows.cell(i, 1).endsWith("KB/s"));
        clickRow(list, i);
        EXPECT_EQ(live.need<QLabel>("lblURL")->text().toStdString(), "http://127.0.0.1/" + name);
        EXPECT_EQ(live.need<QLabel>("lblSave")->text().toStdString(), downloads + "/" + name);
        EXPECT_EQ(live.need<QLabel>("lblDownloaded")->text(), "400KB");
        EXPECT_TRUE(pause->isEnabled());
        // Each connection holds exactly what the server let through.
        clickTab(tabs, 1);
        ASSERT_TRUE(live.need<QTreeView>("lstPieces")->isVisible());
        ASSERT_EQ(pieceRows.rows(), 2);
        EXPECT_EQ(pieceRows.cell(1, 0), "Connection 2");
        EXPECT_EQ(pieceRows.cell(0, 1) + pieceRows.cell(1, 1), "200/300KB200/300KB");
        clickTab(tabs, 2);
        EXPECT_TRUE(live.need<QWidget>("fraBuf")->isVisible());
        EXPECT_EQ(live.need<QLabel>("lblConnBuf")->text(), "2");
        EXPECT_EQ(live.need<QLabel>("lblTotalBuf")->text(), "256KB");
        clickTab(tabs, 0);
    }
    live.action("menTray")->trigger();
    ASSERT_TRUE(waitFor([&] { return live.tray.tip.find("3 downloads, ") == 0; })) << live.tray.tip;
    live.trayNotify(515);

    clickRow(list, row["a.bin"]);
    click(pause);
    EXPECT_EQ(rows.cell(row["a.bin"], 2), "Paused");
    EXPECT_EQ(rows.cell(row["b.bin"], 2), "Downloading");
    clickRow(list, row["a.bin"]);
    ASSERT_TRUE(start->isEnabled());
    EXPECT_EQ(start->text(), "Resume");
    click(start);
    // What a still misses is under the hold: it completes while the others wait.
    ASSERT_TRUE(waitFor([&] { return rows.cell(row["a.bin"], 2) == "Completed"; }));
    EXPECT_EQ(rows.cell(row["c.bin"], 2), "Downloading");
    EXPECT_TRUE(tabs->isVisible());
    server.release();
    ASSERT_TRUE(waitFor([&] {
        return rows.cell(row["b.bin"], 2) == "Completed" &&
               rows.cell(row["c.bin"], 2) == "Completed";
    }));
    for (const auto& [name, bytes] : files) {
        EXPECT_TRUE(readFile(downloads + "/" + name) == bytes) << name;
        EXPECT_FALSE(fileExists(live.definitionPath(name))) << name;
        EXPECT_EQ(rows.cell(row[name], 1) + rows.cell(row[name], 4), "--") << name;
    }
    EXPECT_FALSE(tabs->isVisible());
    EXPECT_TRUE(live.driver.boxes.empty());
}

}  // namespace
}  // namespace tandu
