#pragma once

#include <chrono>
#include <functional>

namespace tandu::net {

// What the network layer needs from the program's one event loop: watches on
// file descriptors and one timer. Handlers run from the loop, never from
// inside the call that set them up.
class IoWatcher {
public:
    enum Events : unsigned { None = 0, Readable = 1, Writable = 2, Failed = 4 };
    using ReadyHandler = std::function<void(int fd, unsigned events)>;

    virtual ~IoWatcher() = default;

    // Replaces the watch on fd; None ends it.
    virtual void watch(int fd, unsigned events, ReadyHandler handler) = 0;
    // Replaces the one timer: `handler` runs once after `delay`.
    virtual void startTimer(std::chrono::milliseconds delay, std::function<void()> handler) = 0;
    virtual void stopTimer() = 0;
};

}  // namespace tandu::net
