#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tandu {

// One running window per user and display: a later start hands its link (or
// only an activation) to it and ends.
class InstanceChannel {
public:
    // A link handed over (a HandOffMessage's JSON), or nothing to bring the window forward.
    using HandOffHandler = std::function<void(const std::optional<std::string>& message)>;

    virtual ~InstanceChannel() = default;
    // True when a running window of this user took the message (or the
    // activation): this start ends. Otherwise this start is the running
    // one from now on and later starts' hand-offs go to the handler. Two
    // starts at once end in one running window.
    virtual bool handToRunning(const std::string& title, const std::optional<std::string>& message,
                               HandOffHandler handler) = 0;
};

}  // namespace tandu
