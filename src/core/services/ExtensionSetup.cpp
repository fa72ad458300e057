#include "services/ExtensionSetup.h"

#include <filesystem>

#include "platform/Environment.h"
#include "platform/ProcessLauncher.h"
#include "services/Application.h"
#include "storage/FileNames.h"
#include "storage/NativeHostManifests.h"

namespace tandu {

namespace {

bool isChromiumFamily(const std::string& browser) {
    const std::string name = std::filesystem::path(browser).filename().string();
    for (const char* family : {"chrom", "brave", "vivaldi", "opera", "edge"}) {
        if (name.find(family) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string firefoxSteps(const std::string& package) {
    return "Firefox was started with the extension package " + package +
           " and should now offer to install it; then \"Download with Tandu\" is in the menu "
           "of every link.\n\nFirefox release versions install only signed extensions for "
           "good. If yours refuses the package, load it for this session through "
           "about:debugging (This Firefox, \"Load Temporary Add-on...\", choose the package), "
           "or install it for good in Firefox ESR or Developer Edition after setting "
           "xpinstall.signatures.required to false in about:config.";
}

std::string chromiumSteps(const std::string& unpacked) {
    return "The browser was started. Type chrome://extensions into its address bar yourself "
           "(browsers do not open that page when asked from outside), turn on \"Developer "
           "mode\", press \"Load unpacked\" and choose the folder " +
           unpacked + "; then \"Download with Tandu\" is in the menu of every web link. "
           "A browser started with --user-data-dir finds Tandu only when its "
           "NativeMessagingHosts folder holds org.tandu.host.json (see the README).";
}

UserMessage error(const std::string& text) {
    return {text, "Error", MsgIcon::Critical};
}

}  // namespace

UserMessage ExtensionSetup::install(const std::string& browser) {
    if (!FileExists(browser)) {
        return error("There is no browser program at " + browser + ". Choose the program itself, "
                     "e.g. /usr/bin/firefox-esr or /usr/bin/chromium.");
    }
    const std::string folder = app_.programFolder();
    const std::string package = folder + "/" + kPackage;
    const std::string unpacked = folder + "/" + kUnpacked;
    const std::string host = folder + "/" + NativeHostManifests::kHostProgram;
    for (const std::string& part : {package, unpacked + "/manifest.json", host}) {
        if (!FileExists(part)) {
            return error("The extension cannot be installed: " + part +
                         " is missing. Build or install Tandu again to get it.");
        }
    }
    const auto home = app_.parts().environment.variable("HOME");
    std::string reason = "HOME is not set";
    if (!home || home->empty() || !NativeHostManifests::write(*home, host, &reason)) {
        return error("The browsers cannot be told where Tandu's extension helper is (" + reason +
                     ").");
    }
    const bool chromium = isChromiumFamily(browser);
    LaunchRequest request;
    request.program = browser;
    if (!chromium) {
        request.arguments = {package};
    }
    request.commandLine = chromium ? browser : browser + " \"" + package + "\"";
    request.minimizedWithFocus = true;
    if (!app_.parts().launcher.start(request)) {
        return error("The browser could not be started: " + browser +
                     ". Check that it is a program you can run, or choose another.");
    }
    return {chromium ? chromiumSteps(unpacked) : firefoxSteps(package), "Install Extension",
            MsgIcon::Information};
}

}  // namespace tandu
