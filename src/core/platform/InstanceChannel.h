#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tandu {

// One running instance per user: a later start hands its URL over and ends.
class InstanceChannel {
public:
    using HandOffHandler = std::function<void(const std::optional<std::string>& url)>;

    virtual ~InstanceChannel() = default;
    // True when an instance with this title already runs.
    virtual bool otherInstanceRunning(const std::string& title) = 0;
    // Second instance: gives the URL (if any) to the running instance and asks it
    // to come to the front. True when the running instance took it.
    virtual bool handOff(const std::string& title, const std::optional<std::string>& url) = 0;
    // First instance: accept hand-offs from later starts.
    virtual void listen(const std::string& title, HandOffHandler handler) = 0;
};

}  // namespace tandu
