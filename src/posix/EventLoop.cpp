#include "EventLoop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace tandu {

namespace {

// Watch ids start at 1: this one is the wake-up of posts from other threads.
constexpr EventLoop::Id kWakeId = 0;

}  // namespace

EventLoop::EventLoop()
    : epoll_(epoll_create1(EPOLL_CLOEXEC)), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (epoll_ < 0 || wakeFd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "epoll_create1/eventfd");
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kWakeId;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd_, &ev) != 0) {
        throw std::system_error(errno, std::generic_category(), "epoll_ctl add");
    }
}

EventLoop::~EventLoop() {
    ::close(wakeFd_);
    ::close(epoll_);
}

EventLoop::Id EventLoop::watch(int fd, std::uint32_t events, FdHandler handler) {
    const Id id = nextId_++;
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = id;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) != 0) {
        throw std::system_error(errno, std::generic_category(), "epoll_ctl add");
    }
    watches_[id] = std::make_shared<Watch>(Watch{fd, std::move(handler)});
    return id;
}

void EventLoop::modify(Id id, std::uint32_t events) {
    auto it = watches_.find(id);
    if (it == watches_.end()) {
        return;
    }
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = id;
    epoll_ctl(epoll_, EPOLL_CTL_MOD, it->second->fd, &ev);
}

void EventLoop::unwatch(Id id) {
    auto it = watches_.find(id);
    if (it == watches_.end()) {
        return;
    }
    epoll_ctl(epoll_, EPOLL_CTL_DEL, it->second->fd, nullptr);
    watches_.erase(it);
}

EventLoop::Id EventLoop::addTimer(std::chrono::milliseconds interval,
                                  std::function<void()> handler) {
    const Id id = nextId_++;
    timers_[id] = std::make_shared<TimerEntry>(
        TimerEntry{interval, std::chrono::steady_clock::now() + interval, std::move(handler)});
    return id;
}

void EventLoop::removeTimer(Id id) {
    timers_.erase(id);
}

void EventLoop::post(std::function<void()> call) {
    posted_.push_back(std::move(call));
}

void EventLoop::postFromThread(std::function<void()> call) {
    {
        std::lock_guard lock(threadPostsMutex_);
        threadPosts_.push_back(std::move(call));
    }
    const std::uint64_t one = 1;
    // Full only after 2^64 - 2 wake-ups unread: the loop wakes anyway.
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
}

void EventLoop::takeThreadPosts() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(wakeFd_, &count, sizeof count);
    std::lock_guard lock(threadPostsMutex_);
    for (auto& call : threadPosts_) {
        posted_.push_back(std::move(call));
    }
    threadPosts_.clear();
}

std::chrono::milliseconds EventLoop::untilNextTimer(std::chrono::milliseconds cap) const {
    if (!posted_.empty()) {
        return std::chrono::milliseconds(0);
    }
    auto wait = cap;
    const auto now = std::chrono::steady_clock::now();
    for (const auto& [id, timer] : timers_) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(timer->due - now);
        if (left < wait) {
            wait = left < std::chrono::milliseconds(0) ? std::chrono::milliseconds(0) : left;
        }
    }
    return wait;
}

void EventLoop::runOnce(std::chrono::milliseconds timeout) {
    constexpr int kMaxEvents = 64;
    epoll_event events[kMaxEvents];
    const auto wait = untilNextTimer(timeout);
    const int n = epoll_wait(epoll_, events, kMaxEvents, static_cast<int>(wait.count()));
    for (int i = 0; i < n; ++i) {
        // epoll_event is packed on x86-64: copy its fields out rather than bind
        // references to them.
        const Id id = events[i].data.u64;
        const std::uint32_t happened = events[i].events;
        if (id == kWakeId) {
            takeThreadPosts();
            runPosted();
            continue;
        }
        auto it = watches_.find(id);
        if (it == watches_.end()) {
            continue;  // removed by an earlier handler of this round
        }
        std::shared_ptr<Watch> watch = it->second;  // keeps the handler alive while it runs
        watch->handler(happened);
        runPosted();
    }
    runTimers();
    runPosted();
}

void EventLoop::runTimers() {
    const auto now = std::chrono::steady_clock::now();
    std::vector<Id> due;
    for (const auto& [id, timer] : timers_) {
        if (timer->due <= now) {
            due.push_back(id);
        }
    }
    for (Id id : due) {
        auto it = timers_.find(id);
        if (it == timers_.end()) {
            continue;
        }
        std::shared_ptr<TimerEntry> timer = it->second;
        timer->due = now + timer->interval;
        timer->handler();
        runPosted();
    }
}

void EventLoop::runPosted() {
    while (!posted_.empty()) {
        auto calls = std::move(posted_);
        posted_.clear();
        for (auto& call : calls) {
            call();
        }
    }
}

void EventLoop::run(const std::function<bool()>& done) {
    quit_ = false;
    while (!quit_ && !(done && done())) {
        runOnce(std::chrono::milliseconds(1000));
    }
}

}  // namespace tandu
