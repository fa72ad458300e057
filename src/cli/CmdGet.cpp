#include <unistd.h>

#include <iostream>
#include <optional>
#include <set>

#include "CliCommands.h"
#include "CliContext.h"
#include "ProgressLine.h"
#include "SignalPipe.h"
#include "transfer/TransferEngine.h"

namespace tandu::cli {

namespace {

constexpr int kSpeedColumn = 1;
constexpr int kStateColumn = 2;
constexpr int kSizeColumn = 3;
constexpr int kEtaColumn = 4;

struct GetOptions {
    std::optional<std::string> name;
    bool all = false;
    bool shutdown = false;
};

// The options, or the usage status to end with.
std::optional<GetOptions> parseOptions(const Arguments& args, int& status) {
    GetOptions options;
    for (const std::string& arg : args) {
        if (arg == "--all") {
            options.all = true;
        } else if (arg == "--shutdown") {
            options.shutdown = true;
        } else if (!arg.empty() && arg[0] == '-') {
            status = usageError("get: unknown option '" + arg + "'");
            return std::nullopt;
        } else if (options.name) {
            status = usageError("get takes one NAME");
            return std::nullopt;
        } else {
            options.name = arg;
        }
    }
    if (!options.name && !options.all) {
        status = usageError("get needs NAME or --all");
        return std::nullopt;
    }
    return options;
}

ProgressLine::Figures figuresOf(frmMain& f, int row) {
    ProgressLine::Figures figures;
    figures.name = f.lstDown.text(row);
    figures.state = f.lstDown.cell(row, kStateColumn);
    figures.speed = f.lstDown.cell(row, kSpeedColumn);
    figures.size = f.lstDown.cell(row, kSizeColumn);
    figures.eta = f.lstDown.cell(row, kEtaColumn);
    if (figures.state == "Completed") {
        figures.done = figures.total = 1;
    } else {
        figures.done = f.pb.value();
        figures.total = f.pb.max();
    }
    return figures;
}

// Selects the named row and presses the start button; false (with a word on
// standard error) when there is nothing to start.
bool pressStart(frmMain& f, const GetOptions& options, std::set<int>& rowsTouched) {
    if (!options.name) {
        f.cmbDownSel_Click();  // "Download all" picks the row itself
        return true;
    }
    int row = -1;
    for (int i = 0; i < f.lstDown.rowCount() && row < 0; ++i) {
        row = f.lstDown.text(i) == *options.name ? i : -1;
    }
    if (row < 0) {
        std::cerr << "tandu-cli: no download named \"" << *options.name << "\"\n";
        return false;
    }
    f.lstDown.clickRow(row);
    if (!f.cmbDownSel.enabled()) {
        std::cerr << "tandu-cli: \"" << *options.name << "\" is "
                  << f.lstDown.cell(row, kStateColumn) << "; there is nothing to start\n";
        return false;
    }
    rowsTouched.insert(row);
    f.cmbDownSel.click();
    return true;
}

}  // namespace

int cmdGet(CliContext& context, const Arguments& args) {
    int status = kExitOk;
    const auto options = parseOptions(args, status);
    if (!options) {
        return status;
    }
    frmMain& f = context.load();
    TransferEngine& engine = f.engine();
    if (options->all) {
        f.menAll_Click();
    }
    if (options->shutdown) {
        f.menShut_Click();
    }

    bool interrupted = false;
    SignalPipe signals(context.loop, [&] {
        interrupted = true;
        if (f.cmbPause.enabled()) {
            f.cmbPause_Click();
        } else {
            engine.interrupt();  // still waiting for the probe
        }
    });
    std::set<int> rowsTouched;
    if (!pressStart(f, *options, rowsTouched)) {
        return kExitError;
    }

    ProgressLine line(::isatty(STDOUT_FILENO) == 1);
    int shownRow = -1;
    auto report = [&] {
        const int row = engine.currentRow();
        if (row < 0) {
            return;
        }
        if (row != shownRow && shownRow >= 0) {
            line.show(figuresOf(f, shownRow));  // the last figures of the one before
            line.finish();
        }
        shownRow = row;
        rowsTouched.insert(row);
        line.show(figuresOf(f, row));
    };
    // The figures are shown right after the timer has written them.
    f.tmr.onTimer = [tick = f.tmr.onTimer, &report] {
        tick();
        report();
    };
    context.runUntil([&] { return interrupted || !engine.downloading() || engine.stalled(); });

    const bool stalled = engine.downloading() && engine.stalled();
    if (stalled) {
        f.cmbPause_Click();
    }
    report();
    line.finish();
    if (interrupted) {
        return kExitInterrupted;
    }
    if (stalled) {
        std::cerr << "tandu-cli: no connection is left to finish \""
                  << f.lstDown.text(engine.currentRow()) << "\"; it is paused\n";
        return kExitError;
    }
    if (context.ui.errorShown()) {
        return kExitError;
    }
    for (int row : rowsTouched) {
        const std::string& state = f.lstDown.cell(row, kStateColumn);
        if (state == "Error" || (!options->all && state != "Completed")) {
            return kExitError;
        }
    }
    return kExitOk;
}

}  // namespace tandu::cli
