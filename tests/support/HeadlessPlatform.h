#pragma once

#include <deque>
#include <functional>

#include "FakeFetcher.h"
#include "FakeServices.h"
#include "HeadlessUi.h"
#include "OpenSslFileHasher.h"
#include "platform/Platform.h"

namespace tandu::test {

// Every platform service for tests; the test plays the network through `fetcher`.
class HeadlessPlatform {
public:
    HeadlessUi ui;
    RecordingLauncher launcher;
    FakeEnvironment environment;
    FakeTray tray;
    FakeInstanceChannel instance;
    FakeTransferLocks locks;
    FakeFetcher fetcher;
    // Hash slices wait here until the test runs them, as a loop would.
    std::deque<std::function<void()>> hashSlices;
    OpenSslFileHasher hasher{
        [this](std::function<void()> call) { hashSlices.push_back(std::move(call)); }, 4096};
    // Runs `count` waiting slices (and those they post), all by default.
    void runHashing(std::size_t count = SIZE_MAX) {
        for (; count > 0 && !hashSlices.empty(); --count) {
            auto slice = std::move(hashSlices.front());
            hashSlices.pop_front();
            slice();
        }
    }
    FakeBackgroundWork background;
    Platform platform{ui,    launcher, environment, tray,      instance,
                      locks, fetcher,  hasher,      background};
};

}  // namespace tandu::test
