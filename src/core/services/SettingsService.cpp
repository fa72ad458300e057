#include "services/SettingsService.h"

#include "services/AddService.h"
#include "services/Application.h"
#include "storage/FileNames.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"
#include "text/SpeedLimitText.h"
#include "transfer/DownloadList.h"

namespace tandu {

SettingsService::Preferences SettingsService::current() const {
    const SettingsFile::Defaults settings = SettingsFile::defaults(app_.settingsPath());
    const auto atOnce = settings.extras.find(kStartAtOnce);
    return {settings.connections, settings.folder, settings.buffer,
            std::to_string(settings.simultaneous),
            atOnce != settings.extras.end() && atOnce->second == "1",
            std::to_string(SettingsFile::limitOf(settings.extras))};
}

bool SettingsService::saved() const {
    return FileExists(app_.settingsPath());
}

std::optional<UserMessage> SettingsService::limitRefusal(const std::string& limit) {
    if (speedlimit::parse(limit)) {
        return std::nullopt;
    }
    return UserMessage{"The speed limit must be a number of KB/s (0 for none), e.g. 500 or 2M.",
                       "Speed limit", MsgIcon::Critical};
}

std::optional<UserMessage> SettingsService::save(const Preferences& preferences) {
    if (auto refusal = AddService::folderRefusal(preferences.folder)) {
        return refusal;
    }
    if (auto refusal = limitRefusal(preferences.limit)) {
        return refusal;
    }
    const auto atOnce = textfile::parseWholeNumber(textfile::trim(preferences.simultaneous));
    const int simultaneous = atOnce && *atOnce >= 1 && *atOnce <= SettingsFile::kMostSimultaneous
                                 ? static_cast<int>(*atOnce)
                                 : 1;
    std::string reason;
    const std::string path = app_.settingsPath();
    SettingsFile::Extras extras = SettingsFile::defaults(path).extras;
    extras.erase(kStartAtOnce);
    if (preferences.startAtOnce) {
        extras.emplace(kStartAtOnce, std::string(1, '1'));
    }
    if (const std::int64_t limit = *speedlimit::parse(preferences.limit); limit > 0) {
        extras[SettingsFile::kLimitKey] = std::to_string(limit);
    } else {
        extras.erase(SettingsFile::kLimitKey);
    }
    if (!SettingsFile::write(path, preferences.connections, preferences.folder,
                             preferences.buffer, simultaneous, extras, &reason)) {
        return UserMessage{"The settings cannot be saved in " + path + " (" + reason + ").",
                           "Error", MsgIcon::Critical};
    }
    app_.downloads().overallLimit().refresh();
    return std::nullopt;
}

}  // namespace tandu
