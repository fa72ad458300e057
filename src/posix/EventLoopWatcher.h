#pragma once

#include <map>

#include "EventLoop.h"
#include "net/IoWatcher.h"

namespace tandu {

// The network layer's watches and timer on the console's epoll loop.
class EventLoopWatcher : public net::IoWatcher {
public:
    explicit EventLoopWatcher(EventLoop& loop) : loop_(loop) {}
    ~EventLoopWatcher() override;

    void watch(int fd, unsigned events, ReadyHandler handler) override;
    void startTimer(std::chrono::milliseconds delay, std::function<void()> handler) override;
    void stopTimer() override;

private:
    EventLoop& loop_;
    std::map<int, EventLoop::Id> watches_;
    EventLoop::Id timer_ = 0;
};

}  // namespace tandu
