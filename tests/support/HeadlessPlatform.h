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
    // Hashes at once, unless a test holds the slices back to run them itself.
    bool holdHashing = false;
    std::deque<std::function<void()>> heldSlices;
    OpenSslFileHasher hasher{[this](std::function<void()> call) {
        if (holdHashing) {
            heldSlices.push_back(std::move(call));
        } else {
            call();
        }
    }};
    Platform platform{ui, launcher, environment, tray, instance, locks, fetcher, hasher};
};

}  // namespace tandu::test
