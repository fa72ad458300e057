#include <gtest/gtest.h>

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

void smallRules(EngineHarness& h, std::int64_t minimum) {
    h.f->downloads().setup().help = HelpRules{minimum, 40, 2, 10, 10};
}

TEST(Split, AFreeConnectionTakesTheFarHalfAndBytesLandOnlyInTheirStretchPastTheBuffer) {
    EngineHarness h("1KB");  // 1000 bytes per connection
    const std::string file = test::patterned(4000);
    smallRules(h, 1000);
    h.start(h.addWaiting("f.bin", "2"));
    h.answerProbeWithSize(4000);
    auto& own = h.ws(1);
    // A whole-file answer to the request at 0 serves piece 1 as well.
    FakeFetcher::head(own, test::sizeAnswer(4000));
    FakeFetcher::body(own, file.substr(0, 400));
    EXPECT_EQ(std::filesystem::file_size(h.targetPath("f.bin")), 0u);
    test::serve(h.ws(2), file);
    auto& helper = h.newest();
    EXPECT_EQ(std::make_pair(helper.request.range->first, *helper.request.range->last),
              std::make_pair(std::int64_t{1200}, std::int64_t{1999}));
    h.f->tmr.tick();
    EXPECT_EQ(h.f->lstPieces.cell(1, 0) + h.f->lstPieces.cell(1, 1), "Connection 2 → piece 1/1KB");
    EXPECT_EQ(h.f->downloads().at(0).helpText(), "connection 2 → piece 1");
    test::serve(helper, file);
    // Written past the run: not counted until the run reaches it.
    EXPECT_EQ(h.progress("f.bin"), "0-2000 2000-2000 ");
    FakeFetcher::body(own, file.substr(400, 700));
    EXPECT_EQ(h.progress("f.bin"), "1100-2000 2000-2000 ");
    h.f->tmr.tick();
    EXPECT_EQ(h.f->pb.value(), 3900);  // every byte taken, counted once
    // The owner's answer goes on past its new end: those bytes are not its.
    FakeFetcher::body(own, file.substr(1100, 100) + std::string(900, '#'));
    EXPECT_TRUE(own.destroyed);
    EXPECT_EQ(h.state(0), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), file);
    EXPECT_FALSE(test::fileExists(h.progressPath("f.bin")) ||
                 test::fileExists(h.definitionPath("f.bin")));
    EXPECT_TRUE(h.messages().empty());
}

// The test chooses which fetch moves, every chunk's size, breaks, ticks,
// pauses and kills; the stretches must tile the file at every step.
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
        smallRules(h, 600);
        h.f->downloads().setup().progressBatch = {};  // as it runs: commits beside the loop
        h.start(h.addWaiting("f.bin", std::to_string(pieces)));
        h.answerProbeWithSize(size);
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
            for (std::size_t k = 1; k < h.fetcher().count(); ++k) {
                live.push_back(&h.fetcher().fetch(k));
                live.resize(live.size() - live.back()->destroyed);
            }
            const std::size_t move = pick(0, 999);
            if (move < 16) {
                session();
                if (move < 8) {
                    h.f->cmbPause.click();
                } else {
                    h.f = &h.program.load();  // as after a kill: nothing more is written
                    smallRules(h, 600);
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
    EXPECT_GT(splits, 5000);
    EXPECT_GT(sessions, 500);
}

// Under a limit the pace is the limit's: a free connection helps nobody and a
// slow one is not asked anew, so no new connection opens; limits reach the
// running fetches, and the window says which applies.
TEST(Limit, LimitsReachRunningFetchesAndNoConnectionIsAskedAnewWhileOneHolds) {
    EngineHarness h("1KB");
    const std::string file = test::patterned(4000);
    smallRules(h, 1000);
    const int row = h.addWaiting("f.bin", "2");
    Download& download = h.f->downloads().at(row);
    ASSERT_FALSE(h.program.app->application().setOwnLimit(download, 300));
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("f.bin"))->extras.at("Limit"), "300");
    h.start(row);
    h.answerProbeWithSize(4000);
    auto& group = *h.fetcher().groups.back();
    EXPECT_EQ(group.limit, 300'000);
    EXPECT_EQ(h.ws(1).request.rateGroup.get(), &group);
    group.holding = true;
    const std::size_t fetches = h.fetcher().count();
    FakeFetcher::head(h.ws(1), test::partialHeader(0, 1999, 4000));
    FakeFetcher::body(h.ws(1), file.substr(0, 10));
    test::serve(h.ws(2), file);
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
