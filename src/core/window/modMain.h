#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tandu {

class Application;
class frmMain;

// The application title a running instance is found by.
inline constexpr const char* kAppTitle = "Tandu Download Manager";
inline constexpr const char* kMainCaption = "Tandu Download Manager - Beta 1";

// The entry procedure and the program-wide state shared by every form.
class modMain {
public:
    modMain(Platform& platform, std::string programFolder, std::string commandLine);
    ~modMain();

    // The command-line text as the program sees it: arguments joined by one
    // blank, an argument holding a blank enclosed in double quotes.
    static std::string commandLineFromArguments(const std::vector<std::string>& arguments);
    // The URL of a "-url" command line (marker at position 2, case-sensitive),
    // nothing when the marker is absent; an empty text when it holds no URL.
    static std::optional<std::string> urlFromCommandLine(const std::string& commandLine);

    // The entry procedure. True: this is the first instance and the main window
    // has loaded and shows. False: a running instance took over; end the process.
    bool Main();
    // Creates the main window and runs its load steps (no instance check).
    frmMain& loadMainWindow();

    Platform& platform() { return platform_; }
    // The program's downloads and services.
    Application& application() { return *application_; }
    frmMain* mainWindow() { return main_.get(); }
    // The folder of the executable, without a trailing "/".
    const std::string& programFolder() const { return programFolder_; }
    // The program folder followed by "/definitions/".
    std::string definitionsFolder() const { return programFolder_ + "/definitions/"; }
    std::string settingsPath() const { return programFolder_ + "/config.cfg"; }
    const std::string& commandLine() const { return commandLine_; }

    // Called with the new main window before its load steps run, so a
    // front-end can attach its widgets first.
    std::function<void(frmMain&)> onMainWindowCreated;

    // Set when the first start found no settings file; never cleared in a run.
    bool FirstRun = false;

private:
    Platform& platform_;
    std::string programFolder_;
    std::string commandLine_;
    std::unique_ptr<Application> application_;
    std::unique_ptr<frmMain> main_;
};

}  // namespace tandu
