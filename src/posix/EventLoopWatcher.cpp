#include "EventLoopWatcher.h"

#include <sys/epoll.h>

namespace tandu {

EventLoopWatcher::~EventLoopWatcher() {
    stopTimer();
    for (const auto& [fd, id] : watches_) {
        loop_.unwatch(id);
    }
}

void EventLoopWatcher::watch(int fd, unsigned events, ReadyHandler handler) {
    if (auto it = watches_.find(fd); it != watches_.end()) {
        loop_.unwatch(it->second);
        watches_.erase(it);
    }
    if (events == None) {
        return;
    }
    const std::uint32_t wanted =
        ((events & Readable) ? EPOLLIN : 0u) | ((events & Writable) ? EPOLLOUT : 0u);
    watches_[fd] = loop_.watch(fd, wanted, [fd, handler = std::move(handler)](std::uint32_t got) {
        unsigned ready = 0;
        ready |= (got & EPOLLIN) ? Readable : 0u;
        ready |= (got & EPOLLOUT) ? Writable : 0u;
        ready |= (got & (EPOLLERR | EPOLLHUP)) ? Failed : 0u;
        handler(fd, ready);
    });
}

void EventLoopWatcher::startTimer(std::chrono::milliseconds delay, std::function<void()> handler) {
    stopTimer();
    timer_ = loop_.addTimer(delay, [this, handler = std::move(handler)] {
        const std::function<void()> call = handler;  // the entry goes with stopTimer()
        stopTimer();
        call();
    });
}

void EventLoopWatcher::stopTimer() {
    if (timer_ != 0) {
        loop_.removeTimer(timer_);
        timer_ = 0;
    }
}

}  // namespace tandu
