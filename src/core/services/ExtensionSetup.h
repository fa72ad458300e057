#pragma once

#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class Application;

// "Install Extension": the host manifests are put in place for every
// browser, then Firefox gets the package tanduxt.xpi to install, or a
// Chromium-family browser starts and the user is told how to load the
// unpacked folder from its extensions page (Chromium opens no chrome://
// page named on its command line). What happens next is told plainly;
// nothing is reported that did not happen.
class ExtensionSetup {
public:
    // The pattern also takes Linux builds' names and Chromium-family browsers.
    static constexpr const char* kBrowserFilter =
        "Browser programs (Firefox, Chromium, Chrome, Brave, Vivaldi, Edge, Opera)|firefox* "
        "chromium* chrome* google-chrome* brave* vivaldi* microsoft-edge* opera*";
    static constexpr const char* kPickerTitle = "Select the browser's program";
    static constexpr const char* kPackage = "tanduxt.xpi";
    static constexpr const char* kUnpacked = "tanduxt";

    explicit ExtensionSetup(Application& app) : app_(app) {}

    // What to tell the user: the next steps, or why it could not be done.
    UserMessage install(const std::string& browser);

private:
    Application& app_;
};

}  // namespace tandu
