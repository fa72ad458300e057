#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "EngineHarness.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeSocketFactory;

std::string fileSize(const std::string& path) {
    return std::to_string(std::filesystem::file_size(path));
}

TEST(DataPath, HeaderSplitOverSeveralEventsStaysOutOfTheFile) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "1");
    h.start(row);
    FakeSocketFactory::connect(h.ws0());
    for (const char* part : {"HTTP/1.1 200 OK\r\nCont", "ent-Length: 10\r", "\n\r", "\n"}) {
        EXPECT_EQ(h.state(row), "Waiting");
        FakeSocketFactory::data(h.ws0(), part);
    }
    EXPECT_EQ(h.state(row), "Downloading");
    FakeSocketFactory::connect(h.ws(1));
    for (const char* part :
         {"HTTP/1.1 206 Partial\r\nContent-Range: bytes 0-9/10\r\n", "\r", "\n0123", "456789"}) {
        FakeSocketFactory::data(h.ws(1), part);
    }
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), "0123456789");
}

TEST(DataPath, HeaderAndBodyInOneChunk) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    h.answerProbeWithSize(10);
    FakeSocketFactory::connect(h.ws(2));
    FakeSocketFactory::data(h.ws(2), EngineHarness::partialHeader(5, 9, 10) + "56789");
    EXPECT_EQ(h.f->lstDown.cell(row, 2), "Downloading");
    EXPECT_EQ(h.progress("f.bin"), "0-5 5-5 ");
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1), EngineHarness::partialHeader(0, 4, 10) + "01234");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), "0123456789");
}

TEST(DataPath, BufferIsWrittenOnlyOncePastTheBufferSize) {
    EngineHarness h("1KB");  // 1000 bytes per connection
    const int row = h.addWaiting("f.bin", "1");
    const std::string file = EngineHarness::patterned(3000);
    h.start(row);
    h.answerProbeWithSize(3000);
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1), EngineHarness::partialHeader(0, 2999, 3000));
    FakeSocketFactory::data(h.ws(1), file.substr(0, 1000));
    EXPECT_EQ(fileSize(h.targetPath("f.bin")), "0");
    EXPECT_EQ(h.progress("f.bin"), "0-3000 ");
    FakeSocketFactory::data(h.ws(1), file.substr(1000, 1));
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file.substr(0, 1001));
    EXPECT_EQ(h.progress("f.bin"), "1001-3000 ");
    // Past the size and the piece's end at once: one write, nothing left for the end.
    FakeSocketFactory::data(h.ws(1), file.substr(1001));
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
    EXPECT_EQ(h.state(row), "Completed");
}

TEST(DataPath, LastPieceCompletingFirstWaitsForTheOthers) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "3");
    const std::string file = EngineHarness::patterned(1000);
    h.start(row);
    h.answerProbeWithSize(1000);
    h.serve(h.ws(3), file);
    EXPECT_EQ(h.ws(3).closes, 1);
    EXPECT_EQ(h.state(row), "Downloading");
    EXPECT_EQ(h.progress("f.bin"), "0-333 0-333 334-334 ");
    h.serve(h.ws(1), file);
    h.serve(h.ws(2), file);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
    EXPECT_FALSE(test::fileExists(h.definitionPath("f.bin")));
    EXPECT_FALSE(test::fileExists(h.progressPath("f.bin")));
    EXPECT_EQ(h.f->lstDown.cell(row, 1), "-");
    EXPECT_EQ(h.f->lstDown.cell(row, 3), "1/1KB");
    EXPECT_EQ(h.f->lstDown.cell(row, 4), "-");
    EXPECT_EQ(h.f->lstPieces.cell(2, 1), "/KB");
    EXPECT_EQ(h.f->lblUsedBuf.caption(), "-");
    EXPECT_FALSE(h.f->tmr.enabled());
    EXPECT_EQ(h.f->lstDown.height(), frmMain::kIdleListHeight);
    EXPECT_TRUE(h.f->cmbClear.enabled());
    EXPECT_FALSE(h.f->cmbDownSel.enabled());
    EXPECT_TRUE(h.messages().empty());
}

TEST(DataPath, BytesPastThePieceAreDropped) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "3");
    const std::string file = EngineHarness::patterned(1000);
    h.start(row);
    h.answerProbeWithSize(1000);
    FakeSocketFactory::connect(h.ws(1));
    // The whole file to a request starting at 0: only piece 1's bytes count.
    FakeSocketFactory::data(
        h.ws(1), "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(1000, '#'));
    EXPECT_EQ(h.ws(1).closes, 1);
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), std::string(333, '#'));
    h.serve(h.ws(2), file);
    h.serve(h.ws(3), file);
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), std::string(333, '#') + file.substr(333));
}

TEST(DataPath, ServerIgnoringRangesFallsBackToOneConnection) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "3");
    const std::string file = EngineHarness::patterned(9000);
    const std::string whole = "HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n" + file;
    h.start(row);
    h.answerProbeWithSize(9000);
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1), whole.substr(0, 41 + 1500));  // piece 1 writes 1,500 bytes
    FakeSocketFactory::connect(h.ws(2));
    FakeSocketFactory::data(h.ws(2), whole);
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(h.ws(2).destroyed);
    EXPECT_TRUE(h.ws(3).destroyed);
    EXPECT_EQ(textfile::readLines(h.definitionPath("f.bin")),
              (std::vector<std::string>{"f.bin", "Downloading", EngineHarness::urlOf("f.bin"),
                                        h.downloads(), "1", " 9000 ", " 9000 ", " 0 "}));
    EXPECT_EQ(h.progress("f.bin"), "1500-9000 ");
    EXPECT_EQ(h.f->lstPieces.rowCount(), 1);
    // The one connection asks for the rest and skips what the file already has.
    FakeSocketFactory::connect(h.newest());
    EXPECT_EQ(EngineHarness::rangeAsked(h.newest()),
              (std::pair<std::int64_t, std::int64_t>{1500, 8999}));
    FakeSocketFactory::data(h.newest(), whole);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
    EXPECT_EQ(h.messages().size(), 1u);
}

TEST(DataPath, UnusableAnswerIsReportedAndWritesNothing) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    h.answerProbeWithSize(10);
    FakeSocketFactory::connect(h.ws(2));
    FakeSocketFactory::data(h.ws(2), EngineHarness::partialHeader(0, 9, 10) + "0123456789");
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1), "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\nnope!");
    ASSERT_EQ(h.messages().size(), 2u);
    EXPECT_EQ(h.messages()[0].text,
              "An error ocurred, please verify your connection or the download link. Decription "
              "of error below\r\n\r\nThe server sent the file from byte 0 instead of byte 5.");
    EXPECT_EQ(h.messages()[1].title, "Error");
    EXPECT_EQ(fileSize(h.targetPath("f.bin")), "0");
    EXPECT_EQ(h.state(row), "Downloading");
    EXPECT_TRUE(h.f->downloads().at(0).stalled());
}

TEST(DataPath, EarlyCloseKeepsWhatArrivedAndSaysSo) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "1");
    h.start(row);
    h.answerProbeWithSize(10);
    FakeSocketFactory::connect(h.ws(1));
    h.ws(1).inbound = EngineHarness::partialHeader(0, 9, 10) + "0123";
    FakeSocketFactory::peerClose(h.ws(1));
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_NE(h.messages()[0].text.find("closed the connection before"), std::string::npos);
    h.program.main->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(0, 1), "/KB");
    h.f->cmbPause.click();
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), "0123");
    EXPECT_EQ(h.progress("f.bin"), "4-10 ");
    EXPECT_EQ(h.state(row), "Paused");
}

TEST(DataPath, ContentLengthZeroCompletesWithAnEmptyFile) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "4");
    h.start(row);
    h.answerProbeWithSize(0);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), "");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(h.ws(i).connects.empty());
    }
}

TEST(DataPath, WriteFailureStopsTheDownloadWithTheReason) {
    EngineHarness h;
    // Writes past 1000 bytes fail, as on a full disk.
    const int row = h.addWaiting("full", "1");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    h.start(row);
    h.answerProbeWithSize(5000);
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1),
                            EngineHarness::partialHeader(0, 4999, 5000) + std::string(1500, 'x'));
    setrlimit(RLIMIT_FSIZE, &before);
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text, "The file " + h.targetPath("full") +
                                        " cannot be written: File too large. The download has "
                                        "stopped; what was downloaded so far is kept.");
    EXPECT_EQ(h.state(row), "Error");
    EXPECT_FALSE((h.f->downloads().runningCount() > 0));
    EXPECT_TRUE(h.ws(1).destroyed);
    EXPECT_EQ(h.progress("full"), "0-5000 ");
    EXPECT_TRUE(h.f->cmbClear.enabled());
}

TEST(DataPath, MissingDestinationFolderIsAFileError) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    std::filesystem::remove_all(h.downloads());
    h.start(row);
    h.answerProbeWithSize(100);
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_NE(h.messages()[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(h.state(row), "Error");
    EXPECT_FALSE(h.f->Tabs.visible());
}

}  // namespace
}  // namespace tandu
