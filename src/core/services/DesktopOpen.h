#pragma once

#include <optional>
#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class ProcessLauncher;

// Opens a file or a folder with the program the desktop chooses for it
// (xdg-open), started directly with the path as its one argument: no shell
// ever reads the name.
class DesktopOpen {
public:
    static constexpr const char* kOpener = "xdg-open";

    // The message when the path is not there or nothing could open it.
    static std::optional<UserMessage> open(ProcessLauncher& launcher, const std::string& path);
    // The folder a file lies in.
    static std::optional<UserMessage> openFolderOf(ProcessLauncher& launcher,
                                                   const std::string& path);
};

}  // namespace tandu
