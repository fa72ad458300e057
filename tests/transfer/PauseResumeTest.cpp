#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeSocketFactory;

TEST(Pause, RightAfterTheProbeRecordsNothingReceived) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "3");
    h.start(row);
    h.answerProbeWithSize(1000);
    const std::string definition = test::readFile(h.definitionPath("f.bin"));
    h.f->cmbPause.click();
    EXPECT_EQ(h.progress("f.bin"), "0-333 0-333 0-334 ");
    EXPECT_EQ(test::readFile(h.definitionPath("f.bin")), definition);
    EXPECT_EQ(h.state(row), "Paused");
    EXPECT_FALSE(h.f->tmr.enabled());
    EXPECT_FALSE(h.f->Tabs.visible());
    EXPECT_EQ(h.f->lblBuffer.caption(), "-");
    EXPECT_FALSE(h.f->cmbPause.enabled() || h.f->cmbCancel.enabled() || h.f->cmbDownSel.enabled());
    EXPECT_TRUE(h.f->cmbClear.enabled());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(h.ws(i).destroyed);
    }
    h.f->lstDown.clickRow(row);
    EXPECT_EQ(h.f->cmbDownSel.caption(), "Resume");
}

TEST(Pause, BuffersGoToTheFileAndSurviveARestart) {
    EngineHarness h("8192KB");
    const int row = h.addWaiting("big.bin", "3");
    const std::string file = EngineHarness::patterned(1'500'000);
    h.start(row);
    h.answerProbeWithSize(1'500'000);
    for (int i : {1, 3}) {
        FakeSocketFactory::connect(h.ws(i));
    }
    FakeSocketFactory::data(
        h.ws(1), EngineHarness::partialHeader(0, 499'999, 1'500'000) + file.substr(0, 250'000));
    FakeSocketFactory::data(h.ws(3), EngineHarness::partialHeader(1'000'000, 1'499'999, 1'500'000) +
                                         file.substr(1'000'000));
    h.f->cmbPause.click();
    EXPECT_EQ(h.progress("big.bin"), "250000-500000 0-500000 500000-500000 ");

    h.reload();
    ASSERT_EQ(h.f->lstDown.rowCount(), 1);
    EXPECT_EQ(h.state(0), "Paused");
    EXPECT_EQ(h.f->lstDown.cell(0, 3), "750/1,500KB");
    h.start(0);
    EXPECT_EQ(h.state(0), "Downloading");
    EXPECT_TRUE(h.ws(3).connects.empty());
    h.serve(h.ws(1), file);
    h.serve(h.ws(2), file);
    EXPECT_EQ(h.state(0), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("big.bin")), file);
}

TEST(Resume, DeletedTargetFileRefetchesEveryPiece) {
    EngineHarness h;
    const int row = h.addPaused("f.bin", 3, 1000, {"333-333", "200-333", "100-334"});
    h.start(row);
    for (int i = 1; i <= 3; ++i) {
        FakeSocketFactory::connect(h.ws(i));
    }
    EXPECT_EQ(EngineHarness::rangeAsked(h.ws(1)), (std::pair<std::int64_t, std::int64_t>{0, 332}));
    EXPECT_EQ(EngineHarness::rangeAsked(h.ws(2)),
              (std::pair<std::int64_t, std::int64_t>{333, 665}));
    EXPECT_EQ(h.progress("f.bin"), "0-333 0-333 0-334 ");
}

TEST(Resume, ShortTargetFileRefetchesWhatItLacks) {
    EngineHarness h;
    const int row = h.addPaused("f.bin", 3, 1000, {"333-333", "200-333", "100-334"});
    test::writeFile(h.targetPath("f.bin"), std::string(400, 'x'));
    h.start(row);
    EXPECT_TRUE(h.ws(1).connects.empty());
    FakeSocketFactory::connect(h.ws(2));
    EXPECT_EQ(EngineHarness::rangeAsked(h.ws(2)),
              (std::pair<std::int64_t, std::int64_t>{400, 665}));
    EXPECT_EQ(h.progress("f.bin"), "333-333 67-333 0-334 ");
}

TEST(Resume, EveryPieceAlreadyCompleteCompletesAtOnce) {
    EngineHarness h;
    const int row = h.addPaused("f.bin", 2, 10, {"5-5", "5-5"});
    test::writeFile(h.targetPath("f.bin"), "0123456789");
    h.start(row);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_FALSE(test::fileExists(h.definitionPath("f.bin")));
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), "0123456789");
}

TEST(Pause, MissingProgressFileShowsTheMessageAndEndsTheTransfer) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    h.answerProbeWithSize(10);
    std::filesystem::remove(h.progressPath("f.bin"));
    h.f->cmbPause.click();
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text, "Definition file not found. Please add the URL again.");
    EXPECT_FALSE((h.f->downloads().runningCount() > 0));
    EXPECT_FALSE(h.f->Tabs.visible());
    EXPECT_TRUE(h.f->cmbClear.enabled());
    // The counts were written again: the row resumes instead of starting over.
    EXPECT_EQ(h.progress("f.bin"), "0-5 0-5 ");
    h.program.host.ui.messages.clear();
    h.start(row);
    EXPECT_TRUE(h.messages().empty());
    EXPECT_TRUE((h.f->downloads().runningCount() > 0));
}

TEST(Pause, InterruptWhileProbingLeavesTheRowWaiting) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    h.f->downloads().at(0).pause();
    EXPECT_EQ(h.state(row), "Waiting");
    EXPECT_FALSE((h.f->downloads().runningCount() > 0));
    EXPECT_EQ(h.ws0().state, SocketState::Closed);
    EXPECT_FALSE(test::fileExists(h.progressPath("f.bin")));
    EXPECT_TRUE(h.program.host.locks.held.empty());
}

// --- the timer ------------------------------------------------------------------

TEST(Timer, SpeedsRoundHalvesToEvenBufferGaugeAwayFromZero) {
    EngineHarness h("8192KB");
    const int row = h.addWaiting("f.bin", "3");
    h.start(row);
    h.answerProbeWithSize(60'000);
    const int sent[] = {1500, 2500, 499};
    for (int i = 1; i <= 3; ++i) {
        FakeSocketFactory::connect(h.ws(i));
        const std::int64_t first = (i - 1) * 20'000;
        FakeSocketFactory::data(h.ws(i),
                                EngineHarness::partialHeader(first, first + 19'999, 60'000) +
                                    std::string(static_cast<std::size_t>(sent[i - 1]), 'x'));
    }
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(0, 2), "2KB/s");
    EXPECT_EQ(h.f->lstPieces.cell(1, 2), "2KB/s");
    EXPECT_EQ(h.f->lstPieces.cell(2, 2), "KB/s");
    EXPECT_EQ(h.f->lstPieces.cell(1, 1), "2/20KB");
    EXPECT_EQ(h.f->lstPieces.cell(2, 1), "/20KB");
    EXPECT_EQ(h.f->lstDown.cell(row, 1), "4KB/s");
    EXPECT_EQ(h.f->lstDown.cell(row, 3), "4/60KB");
    EXPECT_EQ(h.f->lblUsedBuf.caption(), "4KB");
    EXPECT_EQ(h.f->lblDownloaded.caption(), "4KB");
    EXPECT_EQ(h.f->pb.value(), 4499);
    EXPECT_EQ(h.f->pbBuffer.value(), 4499);
    EXPECT_EQ(h.f->lblPercentBuf.caption(), "0");
    EXPECT_EQ(h.f->downloads().at(0).tooltip(), "Downloading f.bin @ 4KB/s");
    // The next tick counts only what arrived since.
    FakeSocketFactory::data(h.ws(2), std::string(500, 'x'));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(0, 2), "KB/s");
    EXPECT_EQ(h.f->lstPieces.cell(0, 3), FormatTimeLeft(18'500));
    EXPECT_EQ(h.f->lstPieces.cell(1, 2), "KB/s");
    EXPECT_EQ(h.f->lstDown.cell(row, 1), "KB/s");
}

TEST(Timer, UsedBufferAndSpeedRoundDifferently) {
    EngineHarness h("8192KB");
    const int row = h.addWaiting("f.bin", "1");
    h.start(row);
    h.answerProbeWithSize(13'499);
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(
        h.ws(1), EngineHarness::partialHeader(0, 13'498, 13'499) + std::string(2500, 'x'));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lblUsedBuf.caption(), "3KB");
    EXPECT_EQ(h.f->lstDown.cell(row, 1), "2KB/s");
    // 10,000 bytes left at 999 bytes in the last second.
    FakeSocketFactory::data(h.ws(1), std::string(999, 'x'));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(0, 3), "0:0:10");
    EXPECT_EQ(h.f->lstDown.cell(row, 4), "0:0:10");
    // Nothing in the last second: the bytes left, taken as seconds.
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstDown.cell(row, 4), "2:46:40");
}

TEST(Timer, CompletedPieceShowsDashesAndKeepsItsLastWriteCounted) {
    EngineHarness h("1KB");
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    h.answerProbeWithSize(1600);
    FakeSocketFactory::connect(h.ws(1));
    FakeSocketFactory::data(h.ws(1),
                            EngineHarness::partialHeader(0, 799, 1600) + std::string(800, 'x'));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(0, 2), "-");
    EXPECT_EQ(h.f->lstPieces.cell(0, 3), "-");
    EXPECT_EQ(h.f->lstPieces.cell(0, 1), "1/1KB");
    EXPECT_EQ(h.f->pbBuffer.value(), 800);
    EXPECT_EQ(h.f->lblPercentBuf.caption(), "40");
    EXPECT_EQ(h.state(row), "Downloading");
}

}  // namespace
}  // namespace tandu
