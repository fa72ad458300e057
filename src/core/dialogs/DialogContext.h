#pragma once

namespace tandu {

class Application;
class CommonDialog;
struct Platform;

// What a dialog reaches: the user through the platform, the services through
// the application, and the file dialog the window keeps (its filter and title
// carry over between uses).
struct DialogContext {
    Platform& platform;
    Application& app;
    CommonDialog& cmd;
    // The first start found no settings file: Preferences must be filled in.
    bool firstRun = false;
};

}  // namespace tandu
