#include "services/SettingsService.h"

#include "services/AddService.h"
#include "services/Application.h"
#include "storage/FileNames.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace tandu {

SettingsService::Preferences SettingsService::current() const {
    const SettingsFile::Defaults settings = SettingsFile::defaults(app_.settingsPath());
    const auto atOnce = settings.extras.find(kStartAtOnce);
    return {settings.connections, settings.folder, settings.buffer,
            std::to_string(settings.simultaneous),
            atOnce != settings.extras.end() && atOnce->second == "1"};
}

bool SettingsService::saved() const {
    return FileExists(app_.settingsPath());
}

std::optional<UserMessage> SettingsService::save(const Preferences& preferences) {
    if (auto refusal = AddService::folderRefusal(preferences.folder)) {
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
    if (!SettingsFile::write(path, preferences.connections, preferences.folder,
                             preferences.buffer, simultaneous, extras, &reason)) {
        return UserMessage{"The settings cannot be saved in " + path + " (" + reason + ").",
                           "Error", MsgIcon::Critical};
    }
    return std::nullopt;
}

}  // namespace tandu
