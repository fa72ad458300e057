#pragma once

#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class Application;

// "Install Extension": the host manifests are put in place for the browser
// the user picked, then Firefox gets the package tanduxt.xpi to install, or a
// Chromium-family browser opens its extensions page for the unpacked folder.
// What happens next is told plainly; nothing is reported that did not happen.
class ExtensionSetup {
public:
    // The pattern also takes Linux builds' names and Chromium-family browsers.
    static constexpr const char* kBrowserFilter =
        "Firefox Executable (firefox.exe)|firefox* chromium* chrome* google-chrome*";
    static constexpr const char* kPickerTitle = "Select the Firefox executable";
    static constexpr const char* kPackage = "tanduxt.xpi";
    static constexpr const char* kUnpacked = "tanduxt";

    explicit ExtensionSetup(Application& app) : app_(app) {}

    // What to tell the user: the next steps, or why it could not be done.
    UserMessage install(const std::string& browser);

private:
    Application& app_;
};

}  // namespace tandu
