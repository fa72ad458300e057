#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CurlFetcher.h"
#include "EventLoop.h"
#include "EventLoopWatcher.h"
#include "FileTransferLocks.h"
#include "OpenSslFileHasher.h"
#include "PosixEnvironment.h"
#include "PosixProcessLauncher.h"
#include "WorkerThreads.h"
#include "platform/UserMessage.h"
#include "services/Application.h"

namespace tandu::cli {

// Exit statuses of tandu-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// The console's side of the program: the loop, the system parts and the
// application the commands call.
class CliContext {
public:
    explicit CliContext(std::string programFolder);

    // The program with its download list read.
    Application& app();
    // A message as the console shows it: "TITLE: TEXT" on standard error.
    void show(const UserMessage& message);
    // Where messages go instead of std::cerr (a writer that never waits).
    std::function<void(const std::string&)> errorOut;
    // An error (critical) message was shown.
    bool errorShown() const { return errorShown_; }
    // Runs the loop until `done` answers true.
    void runUntil(const std::function<bool()>& done) { loop.run(done); }

    EventLoop loop;
    PosixProcessLauncher launcher;
    PosixEnvironment environment;
    FileTransferLocks locks;
    EventLoopWatcher watcher{loop};
    CurlFetcher fetcher{watcher};
    OpenSslFileHasher hasher{[this](std::function<void()> call) { loop.post(std::move(call)); }};
    WorkerThreads background{
        [this](std::function<void()> call) { loop.postFromThread(std::move(call)); }};

private:
    std::unique_ptr<Application> app_;
    bool errorShown_ = false;
};

// The user's digit-group separator ("," where the locale has none).
std::string thousandsSeparator();
// The folder of the running executable.
std::string executableFolder();

}  // namespace tandu::cli
