#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace tandu {

struct SystemParts;

// Shuts the computer down through a small script beside the executable that
// removes itself: shutdown.bat where WINDIR is set, shutdown.sh elsewhere.
class ShutdownAction {
public:
    struct Script {
        std::string path;
        std::string contents;
        LaunchRequest launch;
    };
    static Script compose(const std::string& programFolder,
                          const std::optional<std::string>& windir);

    // Writes and starts the script; the text of a message when that failed.
    static std::optional<std::string> run(SystemParts& parts, const std::string& programFolder);
};

}  // namespace tandu
