#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "EngineHarness.h"
#include "services/Application.h"
#include "window/TrayIconOps.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeFetcher;
using test::FakeFetchRecord;
using Range = std::pair<std::int64_t, std::int64_t>;

// Helpers worth it from `minimum` bytes, requests of `ask` bytes.
void smallRules(EngineHarness& h, std::int64_t minimum, std::int64_t ask) {
    h.f->downloads().setup().help = HelpRules{minimum, 40, 2, 10, 10};
    h.f->downloads().setup().ranges = RangeRules{ask, ask, ask, ask, 1};
}

Range asked(const FakeFetchRecord& r) {
    return {r.request.range->first, r.request.range->last.value_or(-1)};
}

TEST(Split, AFreeConnectionTakesTheFarHalfOfWhatNoRequestAsksForAndBytesLandOnlyInTheirStretch) {
    EngineHarness h("1KB");  // 1000 bytes per connection
    const std::string file = test::patterned(4000);
    smallRules(h, 1000, 1000);
    h.start(h.addWaiting("f.bin", "2"));
    h.answerFirst(test::partialHeader(0, 999, 4000));
    auto& own = h.ws(1);  // the first request, going on as piece 1's
    EXPECT_EQ(asked(own), Range(0, 999));
    FakeFetcher::body(own, file.substr(0, 400));
    EXPECT_EQ(std::filesystem::file_size(h.targetPath("f.bin")), 0u);
    // Piece 2 comes in two requests of 1000 bytes.
    for (const std::int64_t first : {2000, 3000}) {
        EXPECT_EQ(asked(h.ws(2)), Range(first, first + 999));
        test::serve(h.ws(2), file);
    }
    // Its connection takes the far half of piece 1, none of what the first request still brings.
    auto& helper = h.newest();
    EXPECT_EQ(asked(helper), Range(1200, 1999));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(1, 0) + h.f->lstPieces.cell(1, 1), "Connection 2 → piece 1/1KB");
    EXPECT_EQ(h.f->downloads().at(0).helpText(), "connection 2 → piece 1");
    test::serve(helper, file);
    // Written past the run: not counted until the run reaches it.
    EXPECT_EQ(h.progress("f.bin"), "0-2000 2000-2000 ");
    FakeFetcher::body(own, file.substr(400, 600));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->pb.value(), 3800);  // every byte taken, counted once
    // The first request came whole; the next asks only for what piece 1 keeps.
    EXPECT_TRUE(own.destroyed);
    EXPECT_EQ(asked(h.newest()), Range(1000, 1199));
    test::serve(h.newest(), file);
    EXPECT_EQ(h.state(0), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
    EXPECT_FALSE(test::fileExists(h.progressPath("f.bin")) ||
                 test::fileExists(h.definitionPath("f.bin")));
    EXPECT_TRUE(h.messages().empty());
}

// A request that ends before its speed was sampled sizes the next one on its
// connection by that speed: a fast path asks for more at a time.
TEST(Split, AWholeAnswerSizesTheNextRangeByItsOwnSpeed) {
    EngineHarness h("1KB");
    std::chrono::steady_clock::time_point now;
    h.f->downloads().setup().clock = [&] { return now; };
    h.f->downloads().setup().ranges = RangeRules{1000, 1000, 1000, 50'000, 1};
    const std::string file = test::patterned(100'000);
    h.start(h.addWaiting("f.bin", "1"));
    h.answerFirst(test::partialHeader(0, 999, 100'000));
    now += std::chrono::milliseconds(50);
    FakeFetcher::body(h.newest(), file.substr(0, 1000));  // 20,000 bytes a second
    EXPECT_EQ(asked(h.newest()), Range(1000, 20'999));
}

// A request far slower than another that would take long gives up its far
// part by the speeds; it ends where it was cut.
TEST(Split, ASlowRequestGivesUpItsFarPartAndEndsWhereItWasCut) {
    EngineHarness h("1KB");
    std::chrono::steady_clock::time_point now;
    h.f->downloads().setup().clock = [&] { return now; };
    smallRules(h, 1000, 10'000);
    const std::string file = test::patterned(30'000);
    h.start(h.addWaiting("f.bin", "3"));
    h.answerFirst(test::partialHeader(0, 9999, 30'000));
    auto& slow = h.ws(1);
    auto& fast = h.ws(2);
    FakeFetcher::head(fast, test::partialHeader(10'000, 19'999, 30'000));
    FakeFetcher::body(slow, file.substr(0, 1000));
    FakeFetcher::body(fast, file.substr(10'000, 8000));
    test::serve(h.ws(3), file);
    // Piece 3's connection is free, but no speed is known yet.
    EXPECT_EQ(h.fetcher().count(), 3u);
    now += std::chrono::seconds(1);
    h.f->tmr.tick();
    auto& helper = h.newest();
    EXPECT_EQ(asked(helper), Range(2000, 9999));
    FakeFetcher::body(slow, file.substr(1000, 1100));
    EXPECT_TRUE(slow.destroyed);
    test::serve(helper, file);
    FakeFetcher::body(fast, file.substr(18'000, 2000));
    EXPECT_EQ(h.state(0), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
}

// A request slow from its start has little on its way: cut short for a
// helper, it keeps a moment's worth at its own speed, not what round trips
// bring at the fastest connection's.
TEST(Split, ARequestSlowFromItsStartKeepsLittleWhenCut) {
    EngineHarness h("1KB");
    std::chrono::steady_clock::time_point now;
    h.f->downloads().setup().clock = [&] { return now; };
    smallRules(h, 1000, 100'000);
    const std::string file = test::patterned(200'000);
    h.start(h.addWaiting("f.bin", "2"));
    now += std::chrono::milliseconds(10);  // a round trip of 10 ms
    h.answerFirst(test::partialHeader(0, 99'999, 200'000));
    auto& slow = h.ws(1);
    auto& fast = h.ws(2);
    now += std::chrono::milliseconds(10);
    FakeFetcher::head(fast, test::partialHeader(100'000, 199'999, 200'000));
    now += std::chrono::milliseconds(100);
    FakeFetcher::body(slow, file.substr(0, 300));
    now += std::chrono::milliseconds(100);
    FakeFetcher::body(fast, file.substr(100'000, 99'999));  // ~500 KB a second
    now += std::chrono::milliseconds(1);
    FakeFetcher::body(fast, file.substr(199'999));
    auto& helper = h.newest();
    ASSERT_NE(&helper, &fast);
    EXPECT_GT(asked(helper).first, 300);
    EXPECT_LT(asked(helper).first, 1000);
    test::serve(helper, file);
    FakeFetcher::body(slow, file.substr(300, static_cast<std::size_t>(asked(helper).first - 300)));
    EXPECT_EQ(h.state(0), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
}

// The test chooses which fetch moves, every chunk's size, breaks, ticks,
// pauses and kills; the stretches must tile the file, and the requests out
// never overlap, at every step.
TEST(Split, EveryByteIsFetchedOnceThroughRandomSplitsPausesAndKills) {
    std::mt19937 random(15);
    const auto pick = [&](std::size_t lo, std::size_t hi) {
        return std::uniform_int_distribution<std::size_t>(lo, hi)(random);
    };
    int splits = 0, sessions = 0;
    for (int round = 0; round < 300; ++round) {
        EngineHarness h("1KB");
        const std::size_t pieces = pick(2, 16);
        const std::string file = test::patterned(pick(20'000, 90'000));
        const auto size = static_cast<std::int64_t>(file.size());
        smallRules(h, 600, 700);
        // No speed is ever known: no request is cut short, none overlaps another.
        h.f->downloads().setup().clock = [] { return std::chrono::steady_clock::time_point(); };
        h.f->downloads().setup().progressBatch = {};  // as it runs: commits beside the loop
        h.start(h.addWaiting("f.bin", std::to_string(pieces)));
        h.answerFirst(test::partialHeader(0, 699, size));
        std::map<const FakeFetchRecord*, std::int64_t> next;  // the byte each fetch sends next
        const auto session = [&] {
            splits += h.f->downloads().at(0).record().stretchCount() - static_cast<int>(pieces);
            ++sessions;
        };
        for (int step = 0; step < 40'000 && h.state(0) == "Downloading"; ++step) {
            std::map<std::int64_t, std::int64_t> tiles{{size, size}};  // start -> end
            for (const Stretch& s : h.f->downloads().at(0).record().stretches) {
                tiles[s.start] = s.start + s.length;
            }
            ASSERT_EQ(tiles.begin()->first, 0);
            for (auto at = tiles.begin(); at->first < size; ++at) {
                ASSERT_EQ(at->second, std::next(at)->first) << round << " " << step;
            }
            std::vector<FakeFetchRecord*> live;
            std::vector<Range> inFlight;
            for (std::size_t k = 0; k < h.fetcher().count(); ++k) {
                live.push_back(&h.fetcher().fetch(k));
                live.resize(live.size() - live.back()->destroyed);
            }
            for (const FakeFetchRecord* r : live) {
                inFlight.push_back(asked(*r));
            }
            // No byte is asked for twice at once: none is sent only to be dropped.
            std::sort(inFlight.begin(), inFlight.end());
            for (std::size_t i = 1; i < inFlight.size(); ++i) {
                ASSERT_GT(inFlight[i].first, inFlight[i - 1].second) << round << " " << step;
            }
            const std::size_t move = pick(0, 999);
            if (move < 16) {
                session();
                if (move < 8) {
                    h.f->cmbPause.click();
                } else {
                    // As after a kill once the plan is stored: nothing more is
                    // written. (Before it: Start.AFailedOrKilledFreshStart...)
                    h.settle();
                    h.load();
                    smallRules(h, 600, 700);
                    h.f->downloads().setup().clock = [] {
                        return std::chrono::steady_clock::time_point();
                    };
                }
                h.start(0);
            } else if (move < 150 || live.empty()) {
                h.f->tmr.tick();
            } else {
                FakeFetchRecord& r = *live[pick(0, live.size() - 1)];
                const auto last = r.request.range->last.value_or(size - 1);
                if (!next.count(&r)) {
                    FakeFetcher::head(r, test::partialHeader(r.request.range->first, last, size));
                    next[&r] = r.request.range->first;
                } else if (move < 160) {
                    FakeFetcher::fail(r, net::FetchFailure::Kind::Broken, "reset");
                } else {
                    const auto count = std::min<std::int64_t>(
                        static_cast<std::int64_t>(pick(1, 3000)), last + 1 - next[&r]);
                    FakeFetcher::body(r, file.substr(static_cast<std::size_t>(next[&r]),
                                                     static_cast<std::size_t>(count)));
                    if ((next[&r] += count) > last) {
                        FakeFetcher::end(r);
                    }
                }
            }
        }
        session();
        ASSERT_EQ(h.state(0), "Completed") << round;
        ASSERT_EQ(test::readFile(h.targetPath("f.bin")), file) << round;
    }
    EXPECT_GT(splits, 3000);
    EXPECT_GT(sessions, 500);
}

// Under a limit the pace is the limit's: a free connection helps nobody and a
// slow one is not asked anew, so no new connection opens; limits reach the
// running fetches, and the window says which applies.
TEST(Limit, LimitsReachRunningFetchesAndNoConnectionIsAskedAnewWhileOneHolds) {
    EngineHarness h("1KB");
    const std::string file = test::patterned(4000);
    smallRules(h, 1000, 1000);
    const int row = h.addWaiting("f.bin", "2");
    Download& download = h.f->downloads().at(row);
    ASSERT_FALSE(h.program.app->application().setOwnLimit(download, 300));
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("f.bin"))->extras.at("Limit"), "300");
    h.start(row);
    h.answerFirst(test::partialHeader(0, 999, 4000));
    auto& group = *h.fetcher().groups.back();
    EXPECT_EQ(group.limit, 300'000);
    EXPECT_EQ(h.ws(1).request.rateGroup.get(), &group);
    group.holding = true;
    FakeFetcher::body(h.ws(1), file.substr(0, 10));
    test::serve(h.ws(2), file);
    test::serve(h.ws(2), file);  // its next range
    const std::size_t fetches = h.fetcher().count();
    for (int i = 0; i < 3; ++i) {
        h.f->tmr.tick();
    }
    EXPECT_EQ(h.fetcher().count(), fetches);
    // The overall limit, from the settings file as another process wrote it.
    h.program.writeSettings("1.0\r\n4\r\n\r\n1KB\r\n1\r\nLimit=2000\r\n");
    ASSERT_FALSE(h.program.app->application().setOwnLimit(download, 0));
    h.f->tmr.tick();
    EXPECT_EQ(h.fetcher().overallLimit, 2'000'000);
    EXPECT_EQ(group.limit, 0);
    EXPECT_EQ(h.f->lblLimit.caption(), "2MB/s for all downloads");
    EXPECT_NE(h.f->tray().record().shownTip().find("(limit 2MB/s for all downloads)"),
              std::string::npos);
    // Nothing holds it back any more: the free connection helps.
    group.holding = false;
    h.f->tmr.tick();
    EXPECT_EQ(h.fetcher().count(), fetches + 1);
}

}  // namespace
}  // namespace tandu
