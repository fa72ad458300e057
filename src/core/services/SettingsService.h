#pragma once

#include <optional>
#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class Application;

// The settings as Preferences shows them, read from and saved to the
// settings file with the checks both faces share.
class SettingsService {
public:
    struct Preferences {
        std::string connections;
        std::string folder;
        std::string buffer;
        std::string simultaneous;
        // A download starts as soon as it is added (StartAtOnce=1).
        bool startAtOnce = false;
        // KB/s for all downloads together, "0" for none (also "500K", "2M").
        std::string limit = "0";
    };

    static constexpr const char* kStartAtOnce = "StartAtOnce";

    explicit SettingsService(Application& app) : app_(app) {}

    // The file's values, defaults standing in for what it lacks.
    Preferences current() const;
    // Whether the settings file is there.
    bool saved() const;
    // Writes them and applies the limit to running downloads; the message
    // when the folder or the limit is refused or the file cannot be written.
    std::optional<UserMessage> save(const Preferences& preferences);

    // The message for a limit text that names no speed; none when it does.
    static std::optional<UserMessage> limitRefusal(const std::string& limit);

private:
    Application& app_;
};

}  // namespace tandu
