#include <chrono>
#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"
#include "services/UrlCheck.h"

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
    UrlCheck check(context.fetcher);
    UrlCheck::Handlers handlers;
    handlers.onHostFound = [&] {
        context.show(UrlCheck::hostFound());
        check.askHead();
    };
    handlers.onAnswer = [&] { context.show(check.result()); };
    handlers.onFailure = [&](const UserMessage& failure) { context.show(failure); };
    if (const auto refusal = check.start(args[0], handlers)) {
        context.show(*refusal);
        return kExitError;
    }
    bool timedOut = false;
    const EventLoop::Id timer = context.loop.addTimer(kAnswerTimeout, [&] { timedOut = true; });
    context.runUntil([&] { return timedOut || check.outcome() != UrlCheck::Outcome::Running; });
    context.loop.removeTimer(timer);
    if (check.outcome() == UrlCheck::Outcome::Running) {
        context.show({"No answer from the server within " +
                          std::to_string(kAnswerTimeout.count()) + " seconds.",
                      "Error", MsgIcon::Critical});
        return kExitError;
    }
    if (check.outcome() == UrlCheck::Outcome::Closed) {
        std::cerr << "tandu-cli: the server closed the connection without an answer\n";
        return kExitError;
    }
    if (check.outcome() != UrlCheck::Outcome::Answered) {
        return kExitError;
    }
    std::cout << check.answer() << std::flush;
    return kExitOk;
}

}  // namespace tandu::cli
