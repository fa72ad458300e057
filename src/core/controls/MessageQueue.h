#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <utility>

#include "platform/UserMessage.h"

namespace tandu {

class UiServices;

// Messages shown one at a time from the event loop, never from inside the
// handler that raises them: while a box is open its own loop runs, and every
// transfer goes on under it. Messages raised meanwhile wait their turn.
class MessageQueue {
public:
    explicit MessageQueue(UiServices& ui) : ui_(ui) {}
    ~MessageQueue() { *alive_ = false; }
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // `then` runs once the box is closed.
    void show(UserMessage message, std::function<void()> then = {});
    bool idle() const { return waiting_.empty() && !showing_; }

private:
    void showWaiting();

    UiServices& ui_;
    std::deque<std::pair<UserMessage, std::function<void()>>> waiting_;
    bool showing_ = false;
    bool posted_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tandu
