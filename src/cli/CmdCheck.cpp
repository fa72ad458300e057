#include <chrono>
#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"
#include "tools/CheckUrlTool.h"

namespace tandu::cli {

namespace {
// The window waits as long as the user likes; a script should not. The
// network layer gives up on a silent server first, with its own reason.
constexpr std::chrono::seconds kAnswerTimeout{120};
}  // namespace

int cmdCheck(CliContext& context, const Arguments& args) {
    if (args.size() != 1) {
        return usageError("check takes one URL");
    }
    frmMain& main = context.load();
    context.ui.inputAnswers.push_back(args[0]);
    main.menCheck.click();
    const CheckUrlTool& tool = main.checkTool();
    bool timedOut = false;
    const EventLoop::Id timer = context.loop.addTimer(kAnswerTimeout, [&] { timedOut = true; });
    context.runUntil([&] { return timedOut || tool.outcome() != CheckUrlTool::Outcome::Running; });
    context.loop.removeTimer(timer);
    if (tool.outcome() == CheckUrlTool::Outcome::Running) {
        context.ui.messageBox("No answer from the server within " +
                                  std::to_string(kAnswerTimeout.count()) + " seconds.",
                              "Error", MsgIcon::Critical);
        return kExitError;
    }
    if (tool.outcome() == CheckUrlTool::Outcome::Closed) {
        std::cerr << "tandu-cli: the server closed the connection without an answer\n";
        return kExitError;
    }
    if (tool.outcome() != CheckUrlTool::Outcome::Answered) {
        return kExitError;
    }
    std::cout << tool.answer() << std::flush;
    return kExitOk;
}

}  // namespace tandu::cli
