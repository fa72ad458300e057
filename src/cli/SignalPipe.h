#pragma once

#include <functional>

#include "EventLoop.h"

namespace tandu::cli {

// Turns SIGINT and SIGTERM into a call on the event loop (a self-pipe), so
// the handler runs between events like any other. The default actions come
// back when it is destroyed.
class SignalPipe {
public:
    SignalPipe(EventLoop& loop, std::function<void()> onSignal);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

private:
    EventLoop& loop_;
    std::function<void()> onSignal_;
    int fds_[2] = {-1, -1};
    EventLoop::Id watch_ = 0;
};

}  // namespace tandu::cli
