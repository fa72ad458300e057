#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeFetcher;
using Failure = net::FetchFailure::Kind;

void ticks(EngineHarness& h, int count) {
    for (int i = 0; i < count; ++i) {
        h.f->tmr.tick();
    }
}

TEST(Retry, ABrokenPieceGoesOutAgainFromItsFirstMissingByteUntilTheTriesAreSpent) {
    EngineHarness h("8192KB");
    const int row = h.addWaiting("f.bin", "2");
    const std::string file = test::patterned(2000);
    h.start(row);
    h.answerFirstWithSize(2000);
    auto& cut = h.ws(2);
    FakeFetcher::head(cut, test::partialHeader(1000, 1999, 2000));
    FakeFetcher::body(cut, file.substr(1000, 300));
    FakeFetcher::fail(cut, Failure::Broken, "Connection reset by peer");
    const std::size_t before = h.fetcher().count();
    h.f->tmr.tick();
    EXPECT_EQ(h.f->downloads().at(row).retryText(), "retrying piece 2 in 1 s");
    EXPECT_EQ(h.f->lstPieces.cell(1, 2), "Retrying");
    h.f->tmr.tick();
    ASSERT_EQ(h.fetcher().count(), before + 1);
    // An early end, then a passing refusal with its own delay: the server's wins.
    auto& again = h.ws(2);
    EXPECT_EQ(again.request.range->first, 1300);
    FakeFetcher::head(again, test::partialHeader(1300, 1999, 2000));
    FakeFetcher::body(again, file.substr(1300, 200));
    FakeFetcher::end(again);
    ticks(h, 3);  // 200 bytes are no sign of health: the next delay
    FakeFetcher::head(h.ws(2), "HTTP/1.1 503 Busy\r\nRetry-After: 7\r\n\r\n");
    ticks(h, 7);
    EXPECT_EQ(h.fetcher().count(), before + 2);
    h.f->tmr.tick();
    test::serve(h.ws(2), file);
    test::serve(h.ws(1), file);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
    EXPECT_TRUE(h.messages().empty());

    // Six breaks in a row without a byte between: the connection gives up and
    // the others go on; once none is left the row pauses with one message.
    const int other = h.addWaiting("g.bin", "3");
    h.start(other);
    h.answerFirstWithSize(3000);
    for (int k : {3, 1, 2}) {
        FakeFetcher::fail(h.ws(k), Failure::Broken, "Connection reset by peer");
        for (int delay : {1, 2, 4, 8, 16}) {
            ticks(h, delay + 1);
            FakeFetcher::fail(h.ws(k), Failure::Timeout, "No data for 30 seconds.");
        }
        if (k == 3) {
            EXPECT_EQ(h.state(other), "Downloading");
            EXPECT_EQ(h.f->downloads().at(other).row().eta, "???");  // nothing comes
            EXPECT_EQ(h.f->lstPieces.cell(2, 2), "Failed");
            EXPECT_TRUE(h.messages().empty());
        }
    }
    EXPECT_EQ(h.state(other), "Paused");
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_NE(h.messages()[0].text.find("No connection is left to finish \"g.bin\""),
              std::string::npos);
    EXPECT_NE(h.messages()[0].text.find("No data for 30 seconds."), std::string::npos);
    EXPECT_EQ(h.progress("g.bin"), "0-1000 0-1000 0-1000 ");
}

TEST(Retry, AFirstRequestRetriesPassingRefusalsAndFailsAtOnceOnAnythingElse) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "2");
    h.start(row);
    // A server asking for days waits five minutes at most.
    h.answerFirst("HTTP/1.1 503 Service Unavailable\r\nRetry-After: 864000\r\n\r\n");
    EXPECT_EQ(h.f->downloads().at(row).retryText(), "retrying in 301 s");
    h.f->cmbPause.click();
    h.start(row);
    h.answerFirst("HTTP/1.1 503 Service Unavailable\r\nRetry-After: 3\r\n\r\n");
    FakeFetcher::fail(h.newest(), Failure::Timeout, "x");  // the old fetch is gone
    ticks(h, 3);
    EXPECT_EQ(h.fetcher().count(), 2u);
    h.f->tmr.tick();
    ASSERT_EQ(h.fetcher().count(), 3u);
    FakeFetcher::fail(h.newest(), Failure::Broken, "Connection reset by peer");
    ticks(h, 3);
    h.answerFirstWithSize(10);
    EXPECT_EQ(h.state(row), "Downloading");
    EXPECT_TRUE(h.messages().empty());

    // No answer in time, a refused certificate or redirect: the reason, the row
    // "Error", no file.
    for (const auto kind : {Failure::Timeout, Failure::Certificate, Failure::Redirect}) {
        EngineHarness e;
        const int bad = e.addWaiting("bad", "4", "https://h.example/f");
        e.start(bad);
        FakeFetcher::fail(e.newest(), kind, "The certificate is not for this host.");
        EXPECT_EQ(e.state(bad), "Error");
        ASSERT_EQ(e.messages().size(), 1u);
        EXPECT_NE(e.messages()[0].text.find("not for this host"), std::string::npos);
        EXPECT_FALSE(test::fileExists(e.targetPath("bad")));
        EXPECT_FALSE(test::fileExists(e.progressPath("bad")));
    }
}

}  // namespace
}  // namespace tandu
