#pragma once

#include <chrono>

namespace tandu {

class DownloadList;

// What keeps the downloads of a list moving, the same under every face: the
// once-a-second figures and retries, the balancing between connections in
// between, and a download no connection can move on any more, which is paused
// with a message so that a queue goes on with the next.
class DriveLoop {
public:
    static constexpr std::chrono::milliseconds kTickInterval{1000};
    static constexpr std::chrono::milliseconds kBalanceInterval{100};

    explicit DriveLoop(DownloadList& list) : list_(list) {}

    // Once a second while downloads run.
    void tick();
    // Ten times a second between ticks.
    void balance();

private:
    DownloadList& list_;
};

}  // namespace tandu
