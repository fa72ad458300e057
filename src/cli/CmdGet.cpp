#include <unistd.h>

#include <iostream>
#include <optional>
#include <set>

#include "CliCommands.h"
#include "CliContext.h"
#include "NonBlockingOutput.h"
#include "ProgressLine.h"
#include "SignalPipe.h"
#include "services/ShutdownAction.h"
#include "storage/FileNames.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"
#include "text/SpeedLimitText.h"
#include "transfer/DownloadList.h"
#include "transfer/DownloadQueue.h"
#include "transfer/DriveLoop.h"
#include "transfer/TransferMessages.h"

namespace tandu::cli {

namespace {

struct GetOptions {
    std::vector<std::string> names;
    bool all = false;
    bool shutdown = false;
    std::optional<int> jobs;
    std::optional<std::int64_t> limit;  // KB/s for this run, over the settings'
};

// The options, or the usage status to end with.
std::optional<GetOptions> parseOptions(const Arguments& args, int& status) {
    GetOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--all") {
            options.all = true;
        } else if (arg == "--shutdown") {
            options.shutdown = true;
        } else if (arg == "-j") {
            const auto jobs = i + 1 < args.size() ? textfile::parseWholeNumber(args[i + 1])
                                                  : std::optional<std::int64_t>();
            if (!jobs || *jobs < 1 || *jobs > DownloadQueue::kMostAtOnce) {
                status = usageError("get: -j takes a number from 1 to 32");
                return std::nullopt;
            }
            options.jobs = static_cast<int>(*jobs);
            ++i;
        } else if (arg == "--limit") {
            options.limit = i + 1 < args.size() ? speedlimit::parse(args[i + 1]) : std::nullopt;
            if (!options.limit) {
                status = usageError("get: --limit takes a speed such as 500K or 2M (0: none)");
                return std::nullopt;
            }
            ++i;
        } else if (!arg.empty() && arg[0] == '-') {
            status = usageError("get: unknown option '" + arg + "'");
            return std::nullopt;
        } else {
            options.names.push_back(arg);
        }
    }
    if (options.names.empty() && !options.all) {
        status = usageError("get needs NAME or --all");
        return std::nullopt;
    }
    if (!options.names.empty() && options.all) {
        status = usageError("get takes NAME... or --all, not both");
        return std::nullopt;
    }
    return options;
}

ProgressLine::Figures figuresOf(const Download& download) {
    ProgressLine::Figures figures;
    figures.name = download.text();
    figures.state = StateText(download.state());
    if (const std::string retry = download.retryText(); !retry.empty()) {
        figures.state += " (" + retry + ")";
    }
    if (const std::string help = download.helpText(); !help.empty()) {
        figures.state += " (" + help + ")";
    }
    figures.speed = download.row().speed;
    figures.size = download.row().size;
    figures.eta = download.row().eta;
    if (download.state() == DownloadState::Completed) {
        figures.done = figures.total = 1;
    } else {
        figures.done = download.record().totalReceived;
        figures.total = download.record().plan.fileSize;
    }
    return figures;
}

// Shows what the downloads do: messages on standard error, figures once a
// second, a download's last line when it ends.
class GetPresenter : public DownloadListObserver {
public:
    GetPresenter(CliContext& context, ProgressLine& lines) : context_(context), lines_(lines) {}

    std::set<Download*> touched;
    bool stopped = false;

    void rowAdded(int) override {}
    void rowsRemoved(const std::vector<int>&) override {}
    void downloadStarted(Download& download) override { touched.insert(&download); }
    void downloadChanged(Download&) override {}
    void downloadMessage(Download&, const UserMessage& message) override {
        lines_.interrupt();
        context_.show(message);
    }
    void downloadEnded(Download& download) override {
        // A run that was not interrupted pauses only when a download cannot go on.
        stopped = stopped || download.state() == DownloadState::Paused;
        if (download.state() != DownloadState::Waiting) {
            lines_.done(figuresOf(download));
        }
    }

private:
    CliContext& context_;
    ProgressLine& lines_;
};

}  // namespace

int cmdGet(CliContext& context, const Arguments& args) {
    int status = kExitOk;
    const auto options = parseOptions(args, status);
    if (!options) {
        return status;
    }
    Application& app = context.app();
    DownloadList& downloads = app.downloads();
    std::vector<std::string> names;
    for (const std::string& name : options->names) {
        Download* download = app.find(name);
        if (download == nullptr) {
            std::cerr << "tandu-cli: no download named \"" << name << "\"\n";
            return kExitError;
        }
        const DownloadState state = download->state();
        if (state != DownloadState::Waiting && state != DownloadState::Paused) {
            std::cerr << "tandu-cli: \"" << name << "\" is " << StateText(state)
                      << "; there is nothing to start\n";
            return kExitError;
        }
        names.push_back(download->name());
    }
    const std::string settings = app.settingsPath();
    if (!FileExists(settings)) {
        context.show({messages::kConfigMissing, messages::kErrorTitle, MsgIcon::Critical});
        return kExitError;
    }

    // Neither figures nor messages may hold the downloads (or a signal's
    // pause) when nobody reads them.
    NonBlockingOutput out(STDOUT_FILENO);
    NonBlockingOutput errors(STDERR_FILENO);
    context.errorOut = [&errors](const std::string& text) { errors.write(text, false); };
    struct SinkReset {
        CliContext& context;
        ~SinkReset() { context.errorOut = nullptr; }
    } sinkReset{context};
    ProgressLine lines(::isatty(STDOUT_FILENO) == 1, out);
    GetPresenter presenter(context, lines);
    downloads.setObserver(&presenter);
    DownloadQueue& queue = app.queue();
    queue.setLimit(options->jobs.value_or(SettingsFile::simultaneous(settings)));
    downloads.overallLimit().setRunLimit(options->limit);
    downloads.overallLimit().refresh();
    queue.setNames(names);
    queue.allMode = [] { return true; };
    bool finished = false;
    std::string heldName;
    queue.onFinished = [&](const std::string& held) {
        finished = true;
        heldName = held;
    };

    bool interrupted = false;
    auto pauseAll = [&] {
        for (int row = 0; row < downloads.count(); ++row) {
            if (downloads.at(row).running()) {
                downloads.at(row).pause();
            }
        }
    };
    SignalPipe signals(context.loop, [&] {
        interrupted = true;
        pauseAll();
    });
    auto report = [&] {
        app.drive().tick();
        std::vector<ProgressLine::Figures> running;
        for (int row = 0; row < downloads.count(); ++row) {
            const Download& download = downloads.at(row);
            if (download.running() && (!download.probing() || !download.retryText().empty())) {
                running.push_back(figuresOf(download));
            }
        }
        errors.flush();
        lines.show(running);
    };
    const EventLoop::Id timer = context.loop.addTimer(DriveLoop::kTickInterval, report);
    const EventLoop::Id balanceTimer =
        context.loop.addTimer(DriveLoop::kBalanceInterval, [&] { app.drive().balance(); });

    queue.start(nullptr);
    context.runUntil([&] {
        return interrupted || ((finished || presenter.stopped) && downloads.runningCount() == 0 &&
                               !downloads.removingFiles());
    });
    context.loop.removeTimer(timer);
    context.loop.removeTimer(balanceTimer);
    lines.interrupt();
    downloads.setObserver(nullptr);
    queue.onFinished = nullptr;
    if (interrupted) {
        return kExitInterrupted;
    }
    bool failed = context.errorShown() || !heldName.empty();
    bool allCompleted = true;
    for (Download* download : presenter.touched) {
        failed = failed || download->state() == DownloadState::Error;
        allCompleted = allCompleted && download->state() == DownloadState::Completed;
    }
    if (!options->all && !allCompleted) {
        failed = true;
    }
    if (!heldName.empty()) {
        context.show({messages::heldElsewhere(heldName), messages::kErrorTitle, MsgIcon::Critical});
    } else if (options->shutdown && (options->all || allCompleted)) {
        if (auto failure = ShutdownAction::run(app.parts(), app.programFolder())) {
            context.show({*failure, messages::kErrorTitle, MsgIcon::Critical});
            failed = true;
        }
    }
    return failed ? kExitError : kExitOk;
}

}  // namespace tandu::cli
