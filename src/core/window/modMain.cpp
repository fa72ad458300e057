#include "window/modMain.h"

#include "services/Application.h"
#include "storage/HandOffMessage.h"
#include "window/frmMain.h"

namespace tandu {

modMain::modMain(Platform& platform, std::string programFolder, std::string commandLine)
    : platform_(platform),
      programFolder_(std::move(programFolder)),
      commandLine_(std::move(commandLine)) {
    while (programFolder_.size() > 1 && programFolder_.back() == '/') {
        programFolder_.pop_back();
    }
    application_ = std::make_unique<Application>(
        programFolder_,
        SystemParts{platform.fetcher, platform.locks, platform.launcher, platform.environment,
                    platform.hasher, platform.background},
        NumberText(platform.ui.thousandsSeparator()));
}

modMain::~modMain() {
    main_.reset();  // the window lets go of the downloads before they go
}

std::string modMain::commandLineFromArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty()) {
            text += ' ';
        }
        if (argument.find(' ') != std::string::npos) {
            text += '"' + argument + '"';
        } else {
            text += argument;
        }
    }
    return text;
}

std::optional<std::string> modMain::urlFromCommandLine(const std::string& commandLine) {
    if (commandLine.size() < 5 || commandLine.compare(1, 4, "-url") != 0) {
        return std::nullopt;
    }
    // From position 7 (1-based), leaving out the last character. A line too
    // short to hold a URL gives the empty text instead of a negative length.
    if (commandLine.size() < 8) {
        return std::string();
    }
    return commandLine.substr(6, commandLine.size() - 7);
}

bool modMain::Main() {
    // A link from the command line goes to a running window as one from the browser would.
    std::optional<std::string> message;
    if (const auto url = urlFromCommandLine(commandLine_); url && !url->empty()) {
        HandOffMessage link;
        link.url = *url;
        message = link.json();
    }
    const bool handed = platform_.instance.handToRunning(
        kAppTitle, message, [this](const std::optional<std::string>& received) {
            if (main_) {
                main_->receiveHandOff(received);
            }
        });
    if (handed) {
        return false;
    }
    loadMainWindow();
    return true;
}

frmMain& modMain::loadMainWindow() {
    main_ = std::make_unique<frmMain>(*this);
    if (onMainWindowCreated) {
        onMainWindowCreated(*main_);
    }
    main_->Form_Load();
    return *main_;
}

}  // namespace tandu
