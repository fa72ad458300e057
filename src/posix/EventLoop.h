#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tandu {

// A single-threaded epoll loop: file-descriptor watches, periodic timers and
// posted calls. Handlers may add or remove watches and timers freely.
class EventLoop {
public:
    using Id = std::uint64_t;
    using FdHandler = std::function<void(std::uint32_t events)>;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    Id watch(int fd, std::uint32_t events, FdHandler handler);
    void modify(Id id, std::uint32_t events);
    void unwatch(Id id);

    Id addTimer(std::chrono::milliseconds interval, std::function<void()> handler);
    void removeTimer(Id id);

    // Runs the call after the current handler, from the loop.
    void post(std::function<void()> call);
    // The same from another thread: the loop wakes for it.
    void postFromThread(std::function<void()> call);

    // Waits at most `timeout` for events and handles what is ready.
    void runOnce(std::chrono::milliseconds timeout);
    // Handles what is ready now without waiting.
    void processPending() { runOnce(std::chrono::milliseconds(0)); }
    // Runs until quit() or until `done` answers true after a round.
    void run(const std::function<bool()>& done = {});
    void quit() { quit_ = true; }

private:
    struct Watch {
        int fd;
        FdHandler handler;
    };
    struct TimerEntry {
        std::chrono::milliseconds interval;
        std::chrono::steady_clock::time_point due;
        std::function<void()> handler;
    };

    void runTimers();
    void runPosted();
    void takeThreadPosts();
    std::chrono::milliseconds untilNextTimer(std::chrono::milliseconds cap) const;

    int epoll_;
    Id nextId_ = 1;
    bool quit_ = false;
    std::map<Id, std::shared_ptr<Watch>> watches_;
    std::map<Id, std::shared_ptr<TimerEntry>> timers_;
    std::vector<std::function<void()>> posted_;
    int wakeFd_;
    std::mutex threadPostsMutex_;
    std::vector<std::function<void()>> threadPosts_;
};

}  // namespace tandu
