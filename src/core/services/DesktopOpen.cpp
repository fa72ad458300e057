#include "services/DesktopOpen.h"

#include <filesystem>

#include "platform/ProcessLauncher.h"

namespace tandu {

std::optional<UserMessage> DesktopOpen::open(ProcessLauncher& launcher, const std::string& path) {
    std::error_code error;
    // Absolute, so that a name starting with "-" is never read as an option.
    const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (error || !std::filesystem::exists(absolute, error)) {
        return UserMessage{"\"" + path + "\" is not there any more.", "Open", MsgIcon::Critical};
    }
    LaunchRequest request;
    request.program = kOpener;
    request.arguments = {absolute};
    request.commandLine = std::string(kOpener) + " \"" + absolute + "\"";
    request.minimizedWithFocus = false;
    if (!launcher.start(request)) {
        return UserMessage{"\"" + absolute + "\" cannot be opened: " + kOpener +
                               " could not be started. Install xdg-utils, or open it from "
                               "your file manager.",
                           "Open", MsgIcon::Critical};
    }
    return std::nullopt;
}

std::optional<UserMessage> DesktopOpen::openFolderOf(ProcessLauncher& launcher,
                                                     const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return open(launcher, folder.empty() ? "." : folder.string());
}

}  // namespace tandu
