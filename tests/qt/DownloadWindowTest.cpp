#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <atomic>
#include <filesystem>
#include <map>
#include <vector>

#include "LiveWindow.h"
#include "ServedFiles.h"
#include "ShownList.h"
#include "TestProgram.h"
#include "services/Application.h"
#include "transfer/DownloadList.h"

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

// The bytes a download holds now, written or buffered, between the ticks.
std::int64_t bytesIn(LiveWindow& live, const std::string& name) {
    std::int64_t bytes = 0;
    for (const Stretch& s : live.form().downloads().find(name)->record().stretches) {
        bytes += s.received;
    }
    return bytes;
}

std::string definition(const std::string& name, const std::string& folder, int pieces) {
    return name + "\r\nWaiting\r\nhttp://127.0.0.1/" + name + "\r\n" + folder + "/\r\n" +
           std::to_string(pieces) + "\r\n";
}

// A box about one download ("only as a whole") stays open: that download and
// another both go on receiving under it, and both arrive whole.
TEST(DownloadWindow, AMessageBoxStopsNoDownload) {
    const std::string whole = patterned(3'000'000, 1);
    const std::string pieces = patterned(3'000'000, 2);
    const auto ranged = LoopbackServer::serving(pieces);
    LoopbackServer server([&](const std::string& request) -> std::string {
        if (request.find("/whole.bin") == std::string::npos) {
            return ranged(request);
        }
        // Ranges are offered, then ignored.
        return "HTTP/1.1 200 OK\r\nAccept-Ranges: bytes\r\nContent-Length: 3000000\r\n\r\n" +
               (request.rfind("HEAD", 0) == 0 ? std::string() : whole);
    });
    server.pace(300'000);
    LiveWindow live(server.port());
    const std::string downloads = live.folder / "downloads";
    std::filesystem::create_directories(downloads);
    live.writeSettings("1.0\r\n4\r\n" + downloads + "\r\n128KB\r\n2\r\n");
    writeFile(live.definitionPath("whole.bin"), definition("whole.bin", downloads, 2));
    writeFile(live.definitionPath("pieces.bin"), definition("pieces.bin", downloads, 2));
    live.open();
    live.driver.holdBoxes = true;
    // The box's own loop runs the test's timers: counted under it, then let go.
    std::int64_t before[2] = {};
    std::int64_t after[2] = {};
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!live.driver.boxes.empty() && watch.interval() == 10) {
            before[0] = bytesIn(live, "whole.bin");
            before[1] = bytesIn(live, "pieces.bin");
            watch.setInterval(3000);
        } else if (watch.interval() == 3000) {
            after[0] = bytesIn(live, "whole.bin");
            after[1] = bytesIn(live, "pieces.bin");
            live.driver.holdBoxes = false;
            watch.stop();
        }
    });
    watch.start(10);
    live.action("menAll")->trigger();
    clickRow(live.need<QTreeView>("lstDown"), 0);
    click(live.need<QPushButton>("cmbDownSel"));
    ASSERT_TRUE(waitFor([&] { return !live.driver.holdBoxes; }));
    EXPECT_NE(live.driver.boxes[0].text.indexOf("whole"), -1);
    EXPECT_GT(after[0], before[0] + 300'000);
    EXPECT_GT(after[1], before[1] + 300'000);
    ShownList rows(live.need<QTreeView>("lstDown"));
    ASSERT_TRUE(waitFor(
        [&] { return rows.cell(0, 2) == "Completed" && rows.cell(1, 2) == "Completed"; }, 30000));
    EXPECT_TRUE(readFile(downloads + "/whole.bin") == whole);
    EXPECT_TRUE(readFile(downloads + "/pieces.bin") == pieces);
}

// Every connection failing with no try left: the row pauses with one message,
// every byte kept, instead of showing "Downloading" with nothing moving.
TEST(DownloadWindow, ADownloadNoConnectionCanMoveOnIsPausedWithAMessage) {
    // The first answer's head comes, then every answer hangs up at once.
    std::atomic<bool> answered = false;
    LoopbackServer server([&](const std::string&) -> std::string {
        return answered.exchange(true)
                   ? ""
                   : "HTTP/1.1 206 Partial Content\r\n"
                     "Content-Range: bytes 0-99999/100000\r\nContent-Length: 100000\r\n\r\n";
    });
    LiveWindow live(server.port());
    const std::string downloads = live.folder / "downloads";
    std::filesystem::create_directories(downloads);
    live.writeSettings("1.0\r\n4\r\n" + downloads + "\r\n128KB\r\n");
    writeFile(live.definitionPath("f.bin"), definition("f.bin", downloads, 2));
    live.open();
    live.app->application().downloads().setup().retryDelays = {1};
    ShownList rows(live.need<QTreeView>("lstDown"));
    clickRow(live.need<QTreeView>("lstDown"), 0);
    click(live.need<QPushButton>("cmbDownSel"));
    ASSERT_TRUE(waitFor([&] { return rows.cell(0, 2) == "Paused"; }));
    ASSERT_TRUE(waitFor([&] { return !live.driver.boxes.empty(); }));
    EXPECT_EQ(live.driver.boxes.size(), 1u);
    EXPECT_NE(live.driver.boxes[0].text.indexOf("No connection is left to finish \"f.bin\""), -1);
    EXPECT_TRUE(fileExists(live.definitionPath("f.bin")));
}

}  // namespace
}  // namespace tandu
