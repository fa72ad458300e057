#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeSocketFactory;

TEST(Probe, ContentLengthWithoutBlankAnyCaseIsRead) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "3");
    h.start(row);
    EXPECT_EQ(h.f->lstDown.height(), frmMain::kTransferListHeight);
    EXPECT_FALSE(h.f->cmbDownSel.enabled());
    h.answerProbe("HTTP/1.1 200 OK\r\ncontent-length:5000\r\n\r\n");
    EXPECT_EQ(h.state(row), "Downloading");
    EXPECT_EQ(textfile::readLines(h.definitionPath("f.bin"))->at(5), " 5000 ");
    EXPECT_EQ(h.progress("f.bin"), "0-1666 0-1666 0-1668 ");
    EXPECT_EQ(h.ws0().closes, 2);  // before connecting, and once answered
    EXPECT_FALSE(test::fileExists(h.program.folder / "header.dat"));
    EXPECT_EQ(h.f->lblSize.caption(), "5KB");
    EXPECT_EQ(h.f->lblPieces.caption(), "3");
    EXPECT_EQ(h.f->lblBuffer.caption(), "1KB");
    EXPECT_EQ(h.f->lblTotalBuf.caption(), "3KB");
    EXPECT_EQ(h.f->pbBuffer.max(), 3000);
    EXPECT_EQ(h.f->lstPieces.text(2), "Connection 3");
    EXPECT_TRUE(h.f->tmr.enabled());
    EXPECT_TRUE(h.f->cmbPause.enabled());
}

TEST(Probe, UnusableAnswersTakeTheFailurePath) {
    for (const std::string answer :
         {"HTTP/1.1 404 Not Found\r\nContent-Length: 512\r\n\r\n",
          "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n",
          "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
          "HTTP/1.1 200 OK\r\nContent-Length: 12kb\r\n\r\n", "not http at all\r\n\r\n"}) {
        EngineHarness h;
        const int row = h.addWaiting("f.bin", "2");
        h.start(row);
        h.answerProbe(answer);
        ASSERT_EQ(h.messages().size(), 1u) << answer;
        EXPECT_EQ(h.messages()[0].text, "This URL cannot be downloaded.");
        EXPECT_EQ(h.state(row), "Error");
        EXPECT_EQ(h.ws0().state, SocketState::Closed);
        EXPECT_TRUE(h.ws(1).destroyed && h.ws(2).destroyed);
        EXPECT_EQ(DefinitionFile::read(h.definitionPath("f.bin"))->lineCount, 5);
        EXPECT_FALSE(test::fileExists(h.progressPath("f.bin")));
        EXPECT_FALSE(test::fileExists(h.targetPath("f.bin")));
        // The answer stays behind as the scratch copy.
        EXPECT_EQ(test::readFile(h.program.folder / "header.dat"), answer);
        EXPECT_FALSE(h.f->Tabs.visible());
        EXPECT_EQ(h.f->cmbDownSel.top(), frmMain::kIdleButtonTop);
        EXPECT_TRUE(h.f->cmbClear.enabled());
        EXPECT_FALSE((h.f->downloads().runningCount() > 0));
    }
}

TEST(Probe, PauseGivesUpAProbeThatGetsNoAnswer) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    FakeSocketFactory::connect(h.ws0());  // accepted, never answered
    ASSERT_TRUE(h.f->cmbPause.enabled());
    h.f->cmbPause.click();
    EXPECT_FALSE((h.f->downloads().runningCount() > 0));
    EXPECT_EQ(h.state(row), "Waiting");
    EXPECT_EQ(h.ws0().state, SocketState::Closed);
    EXPECT_TRUE(h.ws(1).destroyed && h.ws(2).destroyed);
    EXPECT_FALSE(h.f->Tabs.visible());
    EXPECT_FALSE(h.f->cmbPause.enabled());
    EXPECT_TRUE(h.f->cmbClear.enabled());
    EXPECT_TRUE(h.messages().empty());
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("f.bin"))->lineCount, 5);
    EXPECT_FALSE(test::fileExists(h.targetPath("f.bin")));
    // The row can be started again.
    h.start(row);
    h.answerProbe("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n");
    EXPECT_EQ(h.state(row), "Downloading");
}

TEST(Probe, ConnectionEndingBeforeTheHeaderFails) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    FakeSocketFactory::connect(h.ws0());
    FakeSocketFactory::data(h.ws0(), "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n");
    FakeSocketFactory::peerClose(h.ws0());
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.state(row), "Error");
}

TEST(Probe, ErrorOnTheProbeEndsTheStartAndReleasesTheWindow) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    FakeSocketFactory::error(h.ws0(), 11001, "Host not found");
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text,
              "An error ocurred, please verify your connection or the download link. Decription "
              "of error below\r\n\r\nHost not found");
    EXPECT_EQ(h.state(row), "Error");
    EXPECT_FALSE((h.f->downloads().runningCount() > 0));
    EXPECT_FALSE(h.f->Tabs.visible());
    // The window is free again: another row starts.
    const int other = h.addWaiting("g.bin", "1");
    h.start(other);
    EXPECT_EQ(h.ws0().connects.size(), 1u);
}

TEST(Start, MissingFilesAndBadLinesLeaveTheWindowIdle) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "4");
    std::filesystem::remove(h.program.folder / "config.cfg");
    h.start(row);
    EXPECT_EQ(h.messages().back().text, "Config file not found. Configure Qiv.");
    h.program.writeSettings();
    std::filesystem::remove(h.definitionPath("f.bin"));
    h.start(row);
    EXPECT_EQ(h.messages().back().text, "Definition file not found. Please add the URL again.");
    DefinitionFile::writeForm1(h.definitionPath("f.bin"), "f.bin", "http://h/f.bin", "/tmp/", "17");
    h.start(row);
    EXPECT_EQ(h.messages().back().text, "An error ocurred. Please check the URL of the file.");
    EXPECT_EQ(h.messages().size(), 3u);
    EXPECT_EQ(h.state(row), "Waiting");
    EXPECT_FALSE(h.f->Tabs.visible());
    EXPECT_TRUE(h.sockets().created().empty() || h.sockets().created().back()->connects.empty());
    EXPECT_FALSE((h.f->downloads().runningCount() > 0));
}

TEST(Start, AUrlWithoutHostFailsLikeAnUnansweredProbe) {
    EngineHarness h;
    DefinitionFile::writeForm1(h.definitionPath("f.bin"), "f.bin", "www.h.org/f.bin", h.downloads(),
                               "1");
    h.f->downloads().add(h.definitionPath("f.bin"));
    h.start(0);
    EXPECT_EQ(h.state(0), "Error");
    EXPECT_EQ(h.messages().back().text, "This URL cannot be downloaded.");
    EXPECT_TRUE(h.sockets().created().empty() || h.sockets().created().back()->connects.empty());
}

TEST(Start, ADownloadAnotherProcessTransfersIsLeftAlone) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.program.host.locks.heldElsewhere.insert(h.definitionPath("f.bin"));
    h.start(row);
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text,
              "\"f.bin\" is being transferred by another Tandu process. It is left alone here.");
    EXPECT_TRUE(h.sockets().created().empty() || h.sockets().created().back()->connects.empty());
    EXPECT_EQ(h.state(row), "Waiting");
    EXPECT_FALSE(h.f->Tabs.visible());
    // The lock is held for exactly as long as the transfer runs.
    h.program.host.locks.heldElsewhere.clear();
    h.start(row);
    EXPECT_EQ(h.program.host.locks.held.count(h.definitionPath("f.bin")), 1u);
    h.answerProbeWithSize(3);
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1), EngineHarness::partialHeader(0, 0, 3) + "a");
    FakeSocketFactory::connect(h.ws(2));
    FakeSocketFactory::data(h.ws(2), EngineHarness::partialHeader(1, 2, 3) + "bc");
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_TRUE(h.program.host.locks.held.empty());
}

TEST(Start, RowSelectionSetsTheButtons) {
    EngineHarness h;
    const int waiting = h.addWaiting("a", "1");
    const int paused = h.addPaused("b", 1, 10, {"0-10"});
    h.f->lstDown.clickRow(paused);
    EXPECT_EQ(h.f->cmbDownSel.caption(), "Resume");
    EXPECT_TRUE(h.f->cmbDownSel.enabled() && h.f->cmbCancel.enabled() && h.f->cmbClear.enabled());
    h.f->lstDown.clickRow(waiting);
    EXPECT_EQ(h.f->cmbDownSel.caption(), "Download Selected");
    h.f->downloads().at(waiting).setRowState(DownloadState::Completed, "");
    h.f->lstDown.clickRow(waiting);
    EXPECT_FALSE(h.f->cmbDownSel.enabled() || h.f->cmbCancel.enabled() || h.f->cmbPause.enabled());
    EXPECT_EQ(h.f->cmbDownSel.caption(), "Resume");
}

// --- Download all -------------------------------------------------------------

TEST(DownloadAll, PausedFirstThenWaitingTopDownThenShutdown) {
    EngineHarness h;
    h.addWaiting("A", "1");
    h.addPaused("B", 1, 3, {"1-3"});
    h.addWaiting("C", "1");
    test::writeFile(h.targetPath("B"), "b");
    h.f->menAll.click();
    h.f->menShut.click();
    h.pressStart();
    EXPECT_EQ(h.state(1), "Downloading");
    h.serve(h.ws(1), "bBB");
    EXPECT_EQ(h.state(1), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("B")), "bBB");
    // A starts in the same event, then C.
    EXPECT_EQ(h.f->lstDown.selectedIndex(), 0);
    for (const std::string name : {"A", "C"}) {
        const std::size_t before = h.sockets().created().size();
        h.answerProbeWithSize(2);
        FakeSocketFactory::connect(h.newest());
        ASSERT_EQ(h.sockets().created().size(), before);
        FakeSocketFactory::data(h.newest(), EngineHarness::partialHeader(0, 1, 2) + name + name);
        if (name == "A") {
            EXPECT_TRUE(h.program.host.launcher.launches.empty());
            EXPECT_EQ(h.state(2), "Waiting");  // C is probing
        }
    }
    EXPECT_EQ(h.state(0), "Completed");
    EXPECT_EQ(h.state(2), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("C")), "CC");
    ASSERT_EQ(h.program.host.launcher.launches.size(), 1u);
    EXPECT_EQ(h.program.host.launcher.launches[0].program, "/bin/sh");
    EXPECT_EQ(h.program.host.launcher.launches[0].arguments[0], h.program.folder / "shutdown.sh");
    EXPECT_TRUE(test::fileExists(h.program.folder / "shutdown.sh"));
    EXPECT_TRUE(h.messages().empty());
}

TEST(DownloadAll, RowsAnotherProcessTransfersArePassedOverAndStopTheShutdown) {
    EngineHarness h;
    h.addPaused("A", 1, 3, {"0-3"});
    h.addWaiting("B", "1");
    h.addWaiting("C", "1");
    h.program.host.locks.heldElsewhere = {h.definitionPath("A"), h.definitionPath("B")};
    h.f->menAll.click();
    h.f->menShut.click();
    h.pressStart();
    EXPECT_EQ(h.f->lstDown.selectedIndex(), 2);
    h.answerProbeWithSize(2);
    FakeSocketFactory::connect(h.newest());
    FakeSocketFactory::data(h.newest(), EngineHarness::partialHeader(0, 1, 2) + "CC");
    EXPECT_EQ(h.state(2), "Completed");
    EXPECT_EQ(h.state(0), "Paused");
    EXPECT_EQ(h.state(1), "Waiting");
    // The other process is still at work: the queue ends without a shutdown.
    EXPECT_TRUE(h.program.host.launcher.launches.empty());
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text,
              "\"A\" is being transferred by another Tandu process. It is left alone here.");
    EXPECT_FALSE(h.f->Tabs.visible());
}

TEST(DownloadAll, AFailedProbeIsSilentAndTheQueueGoesOn) {
    EngineHarness h;
    h.addWaiting("A", "1");
    h.addWaiting("B", "1");
    h.f->menAll.click();
    h.pressStart();
    h.answerProbe("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\n");
    EXPECT_TRUE(h.messages().empty());
    EXPECT_EQ(h.state(0), "Error");
    EXPECT_EQ(h.f->lstDown.selectedIndex(), 1);
    EXPECT_TRUE(h.f->downloads().at(1).probing());
}

TEST(DownloadAll, RowsWithoutHostAreSkippedWithoutNesting) {
    EngineHarness h;
    for (int i = 0; i < 500; ++i) {
        const std::string name = "bad" + std::to_string(i);
        DefinitionFile::writeForm1(h.definitionPath(name), name, "nohost", h.downloads(), "1");
        h.f->downloads().add(h.definitionPath(name));
    }
    h.f->menAll.click();
    h.f->menShut.click();
    h.pressStart();
    EXPECT_EQ(h.state(499), "Error");
    EXPECT_TRUE(h.messages().empty());
    EXPECT_EQ(h.program.host.launcher.launches.size(), 1u);
}

TEST(Shutdown, WindowsScriptWhereWindirIsSet) {
    EngineHarness h;
    h.program.host.environment.variables["WINDIR"] = "C:\\WINDOWS";
    const int row = h.addWaiting("f", "1");
    h.f->menShut.click();
    h.start(row);
    h.answerProbeWithSize(0);
    EXPECT_EQ(test::readFile(h.program.folder / "shutdown.bat"),
              "C:\\WINDOWS\\system32\\shutdown.exe -s -t 05\r\ndel \"" + h.program.folder.path() +
                  "\\shutdown.bat\"\r\n");
    ASSERT_EQ(h.program.host.launcher.launches.size(), 1u);
    EXPECT_EQ(h.program.host.launcher.launches[0].commandLine, h.program.folder / "shutdown.bat");
}

}  // namespace
}  // namespace tandu
