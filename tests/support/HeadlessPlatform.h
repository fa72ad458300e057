#pragma once

#include "FakeFetcher.h"
#include "FakeServices.h"
#include "HeadlessUi.h"
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
    Platform platform{ui, launcher, environment, tray, instance, locks, fetcher};
};

}  // namespace tandu::test
