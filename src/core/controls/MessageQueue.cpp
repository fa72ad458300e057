#include "controls/MessageQueue.h"

#include "platform/UiServices.h"

namespace tandu {

void MessageQueue::show(UserMessage message, std::function<void()> then) {
    waiting_.emplace_back(std::move(message), std::move(then));
    if (showing_ || posted_) {
        return;
    }
    posted_ = true;
    ui_.post([this, alive = alive_] {
        if (*alive) {
            posted_ = false;
            showWaiting();
        }
    });
}

void MessageQueue::showWaiting() {
    showing_ = true;
    const std::shared_ptr<bool> alive = alive_;
    while (!waiting_.empty()) {
        auto [message, then] = std::move(waiting_.front());
        waiting_.pop_front();
        ui_.show(message);
        if (*alive && then) {
            then();
        }
        if (!*alive) {
            return;
        }
    }
    showing_ = false;
}

}  // namespace tandu
