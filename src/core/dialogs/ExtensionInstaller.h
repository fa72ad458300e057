#pragma once

#include <string>

namespace tandu {

class CommonDialog;
class modMain;

// "Install Extension": the user picks the browser; the host manifests are
// put in place, then Firefox gets the package tanduxt.xpi to install, or a
// Chromium-family browser opens its extensions page for the unpacked folder.
// What happens next is told plainly; nothing is reported that did not happen.
class ExtensionInstaller {
public:
    // The pattern also takes Linux builds' names and Chromium-family browsers.
    static constexpr const char* kBrowserFilter =
        "Firefox Executable (firefox.exe)|firefox* chromium* chrome* google-chrome*";
    static constexpr const char* kPackage = "tanduxt.xpi";
    static constexpr const char* kUnpacked = "tanduxt";

    ExtensionInstaller(modMain& app, CommonDialog& cmd) : app_(app), cmd_(cmd) {}
    void run();

private:
    void error(const std::string& text);

    modMain& app_;
    CommonDialog& cmd_;
};

}  // namespace tandu
