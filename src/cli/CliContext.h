#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ConsoleServices.h"
#include "ConsoleUi.h"
#include "CurlFetcher.h"
#include "EventLoop.h"
#include "EventLoopWatcher.h"
#include "FileTransferLocks.h"
#include "PosixEnvironment.h"
#include "PosixProcessLauncher.h"
#include "platform/Platform.h"
#include "window/frmMain.h"
#include "window/modMain.h"
#include "transfer/DownloadList.h"

namespace tandu::cli {

// Exit statuses of tandu-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// The console's platform and the program state around the main window.
class CliContext {
public:
    explicit CliContext(std::string programFolder);

    // Creates the main window and runs its load steps; the timer runs on the loop.
    frmMain& load();
    frmMain& main() { return *main_; }
    // The download list of the program folder, without a window.
    DownloadList& downloads();
    // Runs the loop until `done` answers true.
    void runUntil(const std::function<bool()>& done);

    EventLoop loop;
    ConsoleUi ui{loop};
    PosixProcessLauncher launcher;
    PosixEnvironment environment;
    NoTray tray;
    NoInstanceChannel instance;
    FileTransferLocks locks;
    EventLoopWatcher watcher{loop};
    CurlFetcher fetcher{watcher};
    Platform platform{ui, launcher, environment, tray, instance, locks, fetcher};
    modMain app;

private:
    void bindTimer();

    frmMain* main_ = nullptr;
    std::unique_ptr<DownloadList> downloads_;
    EventLoop::Id timerId_ = 0;
};

// The folder of the running executable.
std::string executableFolder();

}  // namespace tandu::cli
