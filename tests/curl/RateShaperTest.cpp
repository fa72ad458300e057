#include <gtest/gtest.h>

#include <vector>

#include "RateShaper.h"

namespace tandu {
namespace {

using Clock = RateShaper::Clock;

// Fetches that always have a chunk to give, on a clock the test moves in
// steps of 1 ms, the way the loop would run them.
struct Network {
    Clock::time_point now{};
    RateShaper shaper{[this] { return now; }};
    struct Fetch {
        RateShaper::Id id = 0;
        bool held = false;
        std::int64_t taken = 0;
        std::size_t chunk = 16 * 1024;
    };
    std::vector<Fetch> fetches;

    void read(Fetch& f) {
        if (shaper.mayTake(f.id)) {
            shaper.took(f.id, f.chunk);
            f.taken += static_cast<std::int64_t>(f.chunk);
            f.held = false;
        } else {
            f.held = true;
        }
    }
    // `count` fetches in `group`; the first `chunk` bytes each read.
    void add(RateShaper::Id group, int count, std::size_t chunk = 16 * 1024) {
        for (int i = 0; i < count; ++i) {
            const std::size_t at = fetches.size();
            fetches.push_back({});
            fetches[at].chunk = chunk;
            fetches[at].id = shaper.join(group, [this, at] { read(fetches[at]); });
        }
    }
    // Bytes taken by fetches [first, last) over `seconds`.
    std::int64_t run(double seconds, std::size_t first = 0, std::size_t last = SIZE_MAX) {
        std::int64_t before = 0;
        for (std::size_t i = first; i < std::min(last, fetches.size()); ++i) {
            before += fetches[i].taken;
        }
        for (int ms = 0; ms < seconds * 1000; ++ms) {
            now += std::chrono::milliseconds(1);
            if (const auto due = shaper.nextWake(); due && *due <= now) {
                shaper.wake();
            }
            for (Fetch& f : fetches) {
                if (!f.held) {
                    read(f);
                }
            }
        }
        std::int64_t after = 0;
        for (std::size_t i = first; i < std::min(last, fetches.size()); ++i) {
            after += fetches[i].taken;
        }
        return after - before;
    }
};

TEST(RateShaper, WithoutALimitNothingIsHeldOrScheduled) {
    Network net;
    net.add(net.shaper.addGroup(), 4);
    EXPECT_EQ(net.run(0.01), 4 * 10 * 16 * 1024);
    EXPECT_FALSE(net.shaper.nextWake());
}

TEST(RateShaper, ALimitHoldsAndAChangeTakesOverAtOnceForRunningFetches) {
    Network net;
    const auto group = net.shaper.addGroup();
    net.add(group, 16, 64 * 1024);
    net.shaper.setGroupLimit(group, 1'000'000);
    net.run(1);
    EXPECT_NEAR(static_cast<double>(net.run(10)), 10e6, 10e6 * 0.02);
    EXPECT_TRUE(net.shaper.held(group));
    net.shaper.setGroupLimit(group, 5'000'000);
    EXPECT_NEAR(static_cast<double>(net.run(2)), 10e6, 10e6 * 0.05);
    net.shaper.setGroupLimit(group, 0);
    EXPECT_GT(net.run(0.1), 100 * 16 * 64 * 1024 * 9 / 10);
    EXPECT_FALSE(net.shaper.held(group));
}

TEST(RateShaper, TheOverallLimitIsSharedFairlyBetweenGroupsAndTheirFetches) {
    Network net;
    // Three downloads of 16, 4 and 1 connections; the third limits itself
    // below its share, and the other two split what it leaves.
    const auto a = net.shaper.addGroup();
    const auto b = net.shaper.addGroup();
    const auto c = net.shaper.addGroup();
    net.add(a, 16);
    net.add(b, 4);
    net.add(c, 1);
    net.shaper.setOverallLimit(3'000'000);
    net.shaper.setGroupLimit(c, 500'000);
    net.run(2);
    std::vector<std::int64_t> before;
    for (const auto& f : net.fetches) {
        before.push_back(f.taken);
    }
    const double total = static_cast<double>(net.run(10));
    EXPECT_NEAR(total, 30e6, 30e6 * 0.02);
    std::vector<double> perFetch;
    for (std::size_t i = 0; i < net.fetches.size(); ++i) {
        perFetch.push_back(static_cast<double>(net.fetches[i].taken - before[i]));
    }
    double groupA = 0;
    double groupB = 0;
    for (int i = 0; i < 16; ++i) {
        groupA += perFetch[i];
        EXPECT_NEAR(perFetch[i], 12.5e6 / 16, 12.5e6 / 16 * 0.1) << "connection " << i;
    }
    for (int i = 16; i < 20; ++i) {
        groupB += perFetch[i];
    }
    EXPECT_NEAR(groupA, 12.5e6, 12.5e6 * 0.03);
    EXPECT_NEAR(groupB, 12.5e6, 12.5e6 * 0.03);
    EXPECT_NEAR(perFetch[20], 5e6, 5e6 * 0.03);
}

}  // namespace
}  // namespace tandu
