#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeFetcher;

TEST(Pause, BuffersGoToTheFileAndSurviveARestart) {
    EngineHarness h("8192KB");
    const int row = h.addWaiting("big.bin", "3");
    const std::string file = test::patterned(1'500'000);
    h.start(row);
    h.answerFirstWithSize(1'500'000);
    h.settle();
    const std::string definition = test::readFile(h.definitionPath("big.bin"));
    auto& one = h.ws(1);
    FakeFetcher::head(one, test::partialHeader(0, 499'999, 1'500'000));
    FakeFetcher::body(one, file.substr(0, 250'000));
    auto& three = h.ws(3);
    FakeFetcher::head(three, test::partialHeader(1'000'000, 1'499'999, 1'500'000));
    FakeFetcher::body(three, file.substr(1'000'000, 300'000));
    FakeFetcher::body(three, file.substr(1'300'000));
    h.f->cmbPause.click();
    EXPECT_EQ(h.progress("big.bin"), "250000-500000 0-500000 500000-500000 ");
    EXPECT_EQ(test::readFile(h.definitionPath("big.bin")), definition);

    h.load();  // the list comes from the files again
    EXPECT_EQ(h.state(0), "Paused");
}

TEST(Resume, CountsTheTargetFileDoesNotHoldAreFetchedAgain) {
    // The file as found: gone, cut short, whole.
    const std::vector<
        std::tuple<std::optional<std::string>, std::string, std::vector<std::int64_t>>>
        cases = {{std::nullopt, "0-333 0-333 0-334 ", {0, 333, 666}},
                 {std::string(400, 'x'), "333-333 67-333 0-334 ", {400, 666}},
                 {std::string(1000, 'x'), "333-333 200-333 100-334 ", {533, 766}}};
    for (const auto& [held, progress, firsts] : cases) {
        EngineHarness h;
        const int row = h.addPaused("f.bin", 3, 1000, {"333-333", "200-333", "100-334"});
        if (held) {
            test::writeFile(h.targetPath("f.bin"), *held);
        }
        h.start(row);
        EXPECT_EQ(h.progress("f.bin"), progress);
        // No first request: each piece asks for what it misses, where redirects lead.
        std::vector<std::int64_t> asked;
        for (std::size_t k = 0; k < h.fetcher().count(); ++k) {
            asked.push_back(h.fetcher().fetch(k).request.range->first);
            EXPECT_TRUE(h.fetcher().fetch(k).request.followRedirects);
        }
        EXPECT_EQ(asked, firsts);
    }
    EngineHarness h;
    const int row = h.addPaused("f.bin", 2, 10, {"5-5", "5-5"});
    test::writeFile(h.targetPath("f.bin"), "0123456789");
    h.start(row);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_FALSE(test::fileExists(h.definitionPath("f.bin")));
}

TEST(Pause, MissingProgressFileShowsTheMessageAndEndsTheTransfer) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    h.answerFirstWithSize(10);
    std::filesystem::remove(h.progressPath("f.bin"));
    h.f->cmbPause.click();
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text, "Definition file not found. Please add the URL again.");
    // The counts were written again: the row resumes instead of starting over.
    EXPECT_EQ(h.progress("f.bin"), "0-5 0-5 ");
}

// A target deleted or moved away mid-way is never reported "Completed": the
// row pauses with a word, and a resume fetches what the file no longer holds.
TEST(Pause, ATargetRemovedWhileDownloadingPausesAndResumesFromWhatIsThere) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    const std::string file = test::patterned(4000);
    h.start(row);
    h.answerFirstWithSize(4000);
    test::serve(h.ws(1), file);
    std::filesystem::remove(h.targetPath("f.bin"));
    test::serve(h.ws(2), file);
    EXPECT_EQ(h.state(row), "Paused");
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_NE(h.messages()[0].text.find(h.targetPath("f.bin")), std::string::npos);
    EXPECT_TRUE(test::fileExists(h.definitionPath("f.bin")));
    h.start(row);
    EXPECT_EQ(h.ws(1).request.range->first, 0);
    EXPECT_EQ(h.ws(2).request.range->first, 2000);
}

TEST(Pause, ASizelessDownloadLeftMidwayResumesWhereRangesNowWorkElseStartsAgainAndSaysSo) {
    const std::string noLength = "HTTP/1.0 200 OK\r\n\r\n";
    // The third: what was left is longer than the file the server has now.
    for (const int size : {4000, 0, 1000}) {
        const bool ranges = size != 0;
        const std::string file = test::patterned(size ? static_cast<std::size_t>(size) : 4000);
        const std::string before = test::patterned(4000);
        EngineHarness h;
        const int row = h.addWaiting("f.bin", "2");
        h.start(row);
        h.answerFirst(noLength);
        // No length: one connection to the end, the first answer's own.
        ASSERT_EQ(h.f->lstPieces.rowCount(), 1);
        // Reset with bytes buffered, then answered whole: it starts again from
        // byte 0 and keeps no old byte, buffered or written.
        FakeFetcher::body(h.newest(), std::string(1500, 'o'));
        FakeFetcher::body(h.newest(), before.substr(0, 400));
        FakeFetcher::fail(h.newest(), net::FetchFailure::Kind::Broken, "reset");
        h.f->tmr.tick();
        h.f->tmr.tick();
        FakeFetcher::head(h.newest(), noLength);
        FakeFetcher::body(h.newest(), before.substr(0, 1500));
        h.program.host.ui.messages.clear();
        h.f->tmr.tick();
        EXPECT_EQ(h.f->downloads().at(row).row().size + h.f->downloads().at(row).row().eta,
                  "2/???KB???");
        h.f->cmbPause.click();
        EXPECT_EQ(h.state(row), "Waiting");
        EXPECT_EQ(test::readFile(h.targetPath("f.bin")), before.substr(0, 1500));
        // As a kill or a power cut leaves it: bytes past the last count may
        // be lost writes, and only the counted ones are kept.
        EXPECT_EQ(h.progress("f.bin"), "1500-0 ");
        textfile::writeLines(h.progressPath("f.bin"), {"1000-0"});
        h.start(row);
        if (ranges) {
            h.answerFirst(test::rangeAnswer(size));
            EXPECT_EQ(h.ws(1).request.range->first, size == 4000 ? 1000 : 0);
            test::serve(h.ws(1), file);
            test::serve(h.ws(2), file);
        } else {
            h.answerFirst(noLength);
            EXPECT_TRUE(test::readFile(h.targetPath("f.bin")).empty());
            FakeFetcher::body(h.newest(), file);
            FakeFetcher::end(h.newest());
        }
        EXPECT_EQ(h.state(row), "Completed");
        EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
        EXPECT_EQ(h.messages().empty() ? "" : h.messages()[0].text,
                  size == 4000
                      ? ""
                      : "The server cannot resume \"f.bin\"; it starts again from the beginning.");
    }
}

}  // namespace
}  // namespace tandu
