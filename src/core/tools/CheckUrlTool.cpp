#include "tools/CheckUrlTool.h"

#include "controls/MessageQueue.h"
#include "platform/UiServices.h"

namespace tandu {

CheckUrlTool::CheckUrlTool(UiServices& ui, net::Fetcher& fetcher, MessageQueue& messages)
    : ui_(ui), messages_(messages), check_(fetcher) {}

void CheckUrlTool::start() {
    const std::string text = ui_.inputBox("Type the URL to verify", "Check URL", "");
    UrlCheck::Handlers handlers;
    handlers.onHostFound = [this] {
        const unsigned generation = check_.generation();
        // While the box is open this check may have been replaced.
        messages_.show(UrlCheck::hostFound(), [this, generation] {
            if (check_.generation() == generation) {
                check_.askHead();
            }
        });
    };
    handlers.onAnswer = [this] { messages_.show(check_.result()); };
    handlers.onFailure = [this](const UserMessage& failure) { messages_.show(failure); };
    if (const auto refusal = check_.start(text, handlers)) {
        messages_.show(*refusal);
    }
}

}  // namespace tandu
