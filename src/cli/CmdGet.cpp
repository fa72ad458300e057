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

ProgressLine::Figures figuresOf(frmMain& f, int row) {
    ProgressLine::Figures figures;
    figures.name = f.lstDown.text(row);
    figures.state = f.lstDown.cell(row, kStateColumn);
    figures.speed = f.lstDown.cell(row, kSpeedColumn);
    figures.size = f.lstDown.cell(row, kSizeColumn);
    figures.eta = f.lstDown.cell(row, kEtaColumn);
    if (f.lstDown.cell(row, kStateColumn) == "Completed") {
        figures.done = figures.total = 1;
    } else {
        figures.done = f.pb.value();
        figures.total = f.pb.max();
    }
    return figures;
}

int findRow(const ListView& rows, const std::string& name) {
    for (int row = 0; row < rows.rowCount(); ++row) {
        if (rows.text(row) == name) {
            return row;
        }
    }
    return -1;
}

}  // namespace

int cmdGet(CliContext& context, const Arguments& args) {
    std::optional<std::string> name;
    bool all = false;
    bool shutdown = false;
    for (const std::string& arg : args) {
        if (arg == "--all") {
            all = true;
        } else if (arg == "--shutdown") {
            shutdown = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return usageError("get: unknown option '" + arg + "'");
        } else if (name) {
            return usageError("get takes one NAME");
        } else {
            name = arg;
        }
    }
    if (!name && !all) {
        return usageError("get needs NAME or --all");
    }

    frmMain& f = context.load();
    TransferEngine& engine = f.engine();
    if (all) {
        f.menAll_Click();
    }
    if (shutdown) {
        f.menShut_Click();
    }
    std::set<int> rowsTouched;
    if (name) {
        const int row = findRow(f.lstDown, *name);
        if (row < 0) {
            std::cerr << "tandu-cli: no download named \"" << *name << "\"\n";
            return kExitError;
        }
        f.lstDown.clickRow(row);
        if (!f.cmbDownSel.enabled()) {
            std::cerr << "tandu-cli: \"" << *name << "\" is " << f.lstDown.cell(row, kStateColumn)
                      << "; there is nothing to start\n";
            return kExitError;
        }
        rowsTouched.insert(row);
        f.cmbDownSel.click();
    } else {
        f.cmbDownSel_Click();  // "Download all" picks the row itself
    }

    bool interrupted = false;
    SignalPipe signals(context.loop, [&] {
        interrupted = true;
        if (f.cmbPause.enabled()) {
            f.cmbPause_Click();
        } else {
            engine.interrupt();
        }
    });
    ProgressLine line(::isatty(STDOUT_FILENO) == 1);
    int shownRow = -1;
    auto report = [&] {
        const int row = engine.currentRow();
        if (row < 0) {
            return;
        }
        if (row != shownRow && shownRow >= 0) {
            line.show(figuresOf(f, shownRow));
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

    int status = kExitOk;
    if (engine.downloading() && engine.stalled()) {
        f.cmbPause_Click();
        status = kExitError;
    }
    report();
    line.finish();
    if (interrupted) {
        return kExitInterrupted;
    }
    if (status == kExitError) {
        std::cerr << "tandu-cli: no connection is left to finish \""
                  << f.lstDown.text(engine.currentRow()) << "\"; it is paused\n";
        return kExitError;
    }
    if (context.ui.errorShown()) {
        return kExitError;
    }
    for (int row : rowsTouched) {
        const std::string& state = f.lstDown.cell(row, kStateColumn);
        if (state == "Error" || (!all && state != "Completed")) {
            return kExitError;
        }
    }
    return kExitOk;
}

}  // namespace tandu::cli
