#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "services/SettingsService.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"
#include "text/SpeedLimitText.h"

namespace tandu::cli {

namespace {

// "512" or "512KB" as the buffer box holds it; nothing for other text.
std::optional<std::string> bufferText(const std::string& size) {
    const std::string text = size.ends_with("KB") ? size : size + "KB";
    if (!SettingsFile::bufferBytes(text) ||
        text.substr(0, text.size() - 2).find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return text;
}

// "Start downloads as soon as they are added".
constexpr const char* kStartAtOnce = "--start-at-once";

}  // namespace

int cmdPrefs(CliContext& context, const Arguments& args) {
    const ParsedArguments parsed =
        parseArguments(args, {"-n", "-d", "-b", "-j", "--limit", kStartAtOnce});
    if (!parsed.error.empty()) {
        return usageError(parsed.error);
    }
    if (!parsed.positional.empty()) {
        return usageError("prefs takes only options");
    }
    if (parsed.has("-n") && !validConnections(parsed.options.at("-n"))) {
        return usageError("-n takes a number of connections from 1 to 16");
    }
    const std::string atOnce = parsed.has(kStartAtOnce) ? parsed.options.at(kStartAtOnce) : "";
    if (parsed.has(kStartAtOnce) && atOnce != "on" && atOnce != "off") {
        return usageError(std::string(kStartAtOnce) + " takes on or off");
    }
    std::optional<std::string> buffer;
    if (parsed.has("-b")) {
        buffer = bufferText(parsed.options.at("-b"));
        if (!buffer) {
            return usageError("-b takes a buffer size from 1KB to " +
                              std::to_string(SettingsFile::kLargestBufferKB) + "KB, e.g. 512KB");
        }
    }
    if (parsed.has("-j")) {
        const auto jobs = textfile::parseWholeNumber(parsed.options.at("-j"));
        if (!jobs || *jobs < 1 || *jobs > SettingsFile::kMostSimultaneous) {
            return usageError("-j takes a number of simultaneous downloads from 1 to " +
                              std::to_string(SettingsFile::kMostSimultaneous));
        }
    }
    if (parsed.has("--limit") && !speedlimit::parse(parsed.options.at("--limit"))) {
        return usageError("--limit takes a speed such as 500K or 2M (0: none)");
    }
    SettingsService settings(context.app());
    SettingsService::Preferences preferences = settings.current();
    if (parsed.options.empty()) {
        const auto limit = speedlimit::parse(preferences.limit).value_or(0);
        std::cout << "config.cfg: " << context.app().settingsPath()
                  << (settings.saved() ? "" : " (not written yet: the defaults are shown)") << '\n'
                  << "connections: " << preferences.connections << '\n'
                  << "folder: " << preferences.folder << '\n'
                  << "buffer: " << preferences.buffer << '\n'
                  << "simultaneous: " << preferences.simultaneous << '\n'
                  << "limit: " << speedlimit::text(limit) << '\n'
                  << "start at once: " << (preferences.startAtOnce ? "on" : "off") << std::endl;
        return kExitOk;
    }
    if (parsed.has("-j")) {
        preferences.simultaneous = parsed.options.at("-j");
    }
    if (parsed.has("--limit")) {
        preferences.limit = std::to_string(*speedlimit::parse(parsed.options.at("--limit")));
    }
    if (parsed.has("-n")) {
        preferences.connections = parsed.options.at("-n");
    }
    if (parsed.has("-d")) {
        preferences.folder = absoluteFolder(parsed.options.at("-d"));
    }
    if (buffer) {
        preferences.buffer = *buffer;
    }
    if (!atOnce.empty()) {
        preferences.startAtOnce = atOnce == "on";
    }
    if (const auto refusal = settings.save(preferences)) {
        context.show(*refusal);
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
