#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "EngineHarness.h"
#include "transfer/RangeAnswer.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeFetcher;
using Range = std::pair<std::int64_t, std::optional<std::int64_t>>;

TEST(Wire, FirstAnswerThenPiecesSplitTheFileContiguouslyFromWhereRedirectsLed) {
    const std::string source = "http://u:p@www.example.org/f.bin";
    for (const auto& [pieces, size] :
         std::vector<std::pair<int, std::int64_t>>{{1, 5000}, {3, 1000}, {16, 1'000'003}, {8, 5}}) {
        EngineHarness h;
        h.start(h.addWaiting("f.bin", std::to_string(pieces), source));
        const auto& first = h.newest().request;
        EXPECT_TRUE(first.range->first == 0 && first.followRedirects && first.url.text() == source);
        // The first answer came from elsewhere: the other pieces go there directly.
        h.newest().handlers.onHead(net::AnswerHead::parse(
            test::rangeAnswer(size), *net::Url::parse("https://cdn.example.net:8443/f.bin")));
        // Never a piece of nothing: 5 bytes make 5 pieces of 1.
        const std::int64_t made = std::min<std::int64_t>(pieces, size);
        std::vector<Range> asked{{0, size / made - 1}};
        for (std::size_t k = 1; k < h.fetcher().count(); ++k) {
            const auto& r = h.fetcher().fetch(k).request;
            EXPECT_TRUE(r.url.text() == "https://cdn.example.net:8443/f.bin" && !r.followRedirects);
            EXPECT_EQ(r.credentialsFrom->text(), source);
            asked.push_back({r.range->first, r.range->last});
        }
        const std::int64_t step = size / made;
        ASSERT_EQ(asked.size(), static_cast<std::size_t>(made)) << size;
        EXPECT_EQ(asked.back(), Range(step * (made - 1), size - 1));
        for (std::size_t i = 0; i + 1 < asked.size(); ++i) {
            EXPECT_EQ(asked[i], Range(step * static_cast<std::int64_t>(i),
                                      step * static_cast<std::int64_t>(i + 1) - 1));
        }
        h.settle();
        const auto definition = DefinitionFile::read(h.definitionPath("f.bin"));
        EXPECT_EQ(definition->url, source);
        EXPECT_EQ(definition->pieces, std::to_string(made));
    }
    // A file too small to split gets fewer pieces: none under a megabyte.
    EXPECT_EQ(PiecePlan::worth(100'000, 16, 1 << 20), 1);
    EXPECT_EQ(PiecePlan::worth(3'000'000, 16, 1 << 20), 2);
    EXPECT_EQ(PiecePlan::worth(1'000'000'000, 16, 1 << 20), 16);
}

TEST(DataPath, ServerIgnoringRangesOnResumeFallsBackToOneConnection) {
    EngineHarness h;
    const int row = h.addPaused("f.bin", 3, 9000, {"0-3000", "0-3000", "0-3000"});
    const std::string file = test::patterned(9000);
    const std::string whole = "HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n";
    h.f->downloads().setup().help = HelpRules{100, 10, 0, 10, 10};
    h.start(row);
    auto& one = h.ws(1);
    FakeFetcher::head(one, whole);
    FakeFetcher::body(one, file.substr(0, 1500));  // piece 1 writes 1,500 bytes
    FakeFetcher::head(h.ws(2), whole);
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(textfile::readLines(h.definitionPath("f.bin")),
              (std::vector<std::string>{"f.bin", "Downloading", EngineHarness::urlOf("f.bin"),
                                        h.downloads(), "1", " 9000 ", " 9000 ", " 0 "}));
    EXPECT_EQ(h.progress("f.bin"), "1500-9000 ");
    // The one connection asks for the rest and skips what the file already has.
    auto& rest = h.newest();
    EXPECT_EQ(rest.request.range->first, 1500);
    FakeFetcher::head(rest, whole);
    const std::size_t fetches = h.fetcher().count();
    h.f->tmr.tick();  // idle connections, and no helper for them
    EXPECT_EQ(h.fetcher().count(), fetches);
    FakeFetcher::body(rest, file);
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
}

TEST(HostileAnswer, OnlyTheBytesAskedForReachTheFile) {
    using Kind = RangeAnswer::Kind;
    const auto judge = [](const std::string& head, std::int64_t first, bool single = false) {
        return RangeAnswer::judge(net::AnswerHead::parse(head, net::Url()), first, 665, 1000,
                                  single);
    };
    const std::string partial = "HTTP/1.1 206 P\r\nContent-Range: bytes ";
    const std::vector<std::tuple<std::string, std::int64_t, Kind>> cases = {
        {partial + "333-665/1000\r\nContent-Length: 333\r\n\r\n", 333, Kind::Accept},
        {partial + "0-665/1000\r\n\r\n", 333, Kind::Unusable},
        {partial + "333-665/2000\r\n\r\n", 333, Kind::Unusable},
        {partial + "333-665/1000\r\nContent-Encoding: gzip\r\n\r\n", 333, Kind::Unusable},
        {"HTTP/1.1 206 P\r\n\r\n", 333, Kind::Unusable},
        {partial + "0-665/1000\r\nTransfer-Encoding: chunked\r\n\r\n", 0, Kind::Unusable},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", 0, Kind::Accept},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nContent-Encoding: identity\r\n\r\n", 0,
         Kind::Accept},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", 333, Kind::IgnoresRange},
        {"HTTP/1.1 200 OK\r\nContent-Length: 999\r\n\r\n", 0, Kind::Unusable},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", 0, Kind::Unusable},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nTransfer-Encoding: gzip, chunked\r\n\r\n", 0,
         Kind::Unusable},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nContent-Length: 5\r\n\r\n", 0, Kind::Unusable},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\ncontent-length: 1000\r\n\r\n", 0,
         Kind::Accept},
    };
    for (const auto& [head, first, kind] : cases) {
        EXPECT_EQ(judge(head, first).kind, kind) << head;
    }
    const RangeAnswer whole = judge("HTTP/1.1 200 OK\r\n\r\n", 333, true);
    EXPECT_EQ(whole.kind, Kind::Accept);
    EXPECT_EQ(whole.skip, 333);
    EXPECT_EQ(judge("HTTP/1.1 404 Not Found\r\n\r\n", 0).reason,
              "The server answered: HTTP/1.1 404 Not Found");
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
    h.answerFirstWithSize(5000);
    auto& piece = h.ws(1);
    FakeFetcher::head(piece, test::partialHeader(0, 4999, 5000));
    FakeFetcher::body(piece, std::string(1500, 'x'));
    setrlimit(RLIMIT_FSIZE, &before);
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_EQ(h.messages()[0].text, "The file " + h.targetPath("full") +
                                        " cannot be written: File too large. The download has "
                                        "stopped; what was downloaded so far is kept.");
    EXPECT_EQ(h.state(row), "Error");
    EXPECT_TRUE(piece.destroyed);
    EXPECT_EQ(h.progress("full"), "0-5000 ");
}

}  // namespace
}  // namespace tandu
