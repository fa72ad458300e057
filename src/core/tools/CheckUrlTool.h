#pragma once

#include "services/UrlCheck.h"

namespace tandu {

class MessageQueue;
class UiServices;

// Check URL in the window: the address asked at a prompt, the answer shown in
// boxes; the HEAD request goes out once the "host found" box is closed.
class CheckUrlTool {
public:
    CheckUrlTool(UiServices& ui, net::Fetcher& fetcher, MessageQueue& messages);

    void start();
    const UrlCheck& check() const { return check_; }

private:
    UiServices& ui_;
    MessageQueue& messages_;
    UrlCheck check_;
};

}  // namespace tandu
