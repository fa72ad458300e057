#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "EventLoop.h"
#include "WorkerThreads.h"

namespace tandu {

namespace {

// Runs the loop until `done`, for at most a few seconds.
bool pumpUntil(EventLoop& loop, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        loop.runOnce(std::chrono::milliseconds(50));
    }
    return done();
}

}  // namespace

// Work runs beside the loop and reports from the loop; a job let go or waited
// for reports nothing, and work given always runs to its end, even when the
// workers go first.
TEST(WorkerThreads, ReportThroughTheLoopAndFinishWhatTheyWereGiven) {
    EventLoop loop;
    const auto loopThread = std::this_thread::get_id();
    std::vector<std::string> reports;
    std::atomic<int> ran{0};
    auto report = [&](const std::string& what) {
        return [&, what](const std::string& failure) {
            EXPECT_EQ(std::this_thread::get_id(), loopThread);
            reports.push_back(what + ":" + failure);
        };
    };
    {
        WorkerThreads workers(
            [&loop](std::function<void()> call) { loop.postFromThread(std::move(call)); }, 2);
        auto fine = workers.start(
            [&] {
                ++ran;
                return std::string();
            },
            report("fine"));
        auto failing = workers.start(
            [&] {
                ++ran;
                return std::string("disk full");
            },
            report("failing"));
        auto waited = workers.start(
            [&] {
                ++ran;
                return std::string("late");
            },
            report("waited"));
        EXPECT_EQ(waited->wait(), "late");
        workers.start(
            [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                ++ran;
                return std::string();
            },
            report("let go"));
        ASSERT_TRUE(pumpUntil(loop, [&] { return reports.size() >= 2; }));
    }
    EXPECT_EQ(ran, 4);
    loop.processPending();
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(reports, (std::vector<std::string>{"failing:disk full", "fine:"}));
}

}  // namespace tandu
