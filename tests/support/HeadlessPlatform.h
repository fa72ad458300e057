#pragma once

#include <memory>

#include "CurlFetcher.h"
#include "EventLoop.h"
#include "EventLoopWatcher.h"
#include "FakeFetcher.h"
#include "FakeServices.h"
#include "HeadlessUi.h"
#include "PosixSocketFactory.h"
#include "platform/Platform.h"

namespace tandu::test {

// Every platform service for tests. With real sockets the program talks to
// loopback servers through the event loop; otherwise the test plays the
// network through `fetcher`.
class HeadlessPlatform {
public:
    explicit HeadlessPlatform(bool useRealSockets = false)
        : platform{ui,
                   realSockets,
                   launcher,
                   environment,
                   tray,
                   instance,
                   locks,
                   useRealSockets ? static_cast<net::Fetcher&>(realFetcher)
                                  : static_cast<net::Fetcher&>(fetcher)} {}

    HeadlessUi ui;
    EventLoop loop;
    PosixSocketFactory realSockets{loop};
    RecordingLauncher launcher;
    FakeEnvironment environment;
    FakeTray tray;
    FakeInstanceChannel instance;
    FakeTransferLocks locks;
    FakeFetcher fetcher;
    EventLoopWatcher watcher{loop};
    CurlFetcher realFetcher{watcher};
    Platform platform;
};

}  // namespace tandu::test
