#pragma once

#include "net/Fetcher.h"
#include "platform/BackgroundWork.h"
#include "platform/Environment.h"
#include "platform/FileHasher.h"
#include "platform/InstanceChannel.h"
#include "platform/ProcessLauncher.h"
#include "platform/TransferLocks.h"
#include "platform/TrayIcon.h"
#include "platform/UiServices.h"

namespace tandu {

// Everything the logic reaches outside plain C++: one implementation per front-end.
struct Platform {
    UiServices& ui;
    ProcessLauncher& launcher;
    Environment& environment;
    TrayIcon& tray;
    InstanceChannel& instance;
    TransferLocks& locks;
    net::Fetcher& fetcher;
    FileHasher& hasher;
    BackgroundWork& background;
};

}  // namespace tandu
