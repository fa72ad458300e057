#pragma once

#include "platform/ProcessLauncher.h"

namespace tandu {

// Starts the program detached (its own session), without a shell.
class PosixProcessLauncher : public ProcessLauncher {
public:
    bool start(const LaunchRequest& request) override;
};

}  // namespace tandu
