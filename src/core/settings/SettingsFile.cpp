#include "settings/SettingsFile.h"

#include "catalogue/FileNames.h"
#include "catalogue/TextFile.h"

namespace tandu {

std::optional<SettingsFile::Values> SettingsFile::read(const std::string& path) {
    if (!FileExists(path)) {
        return std::nullopt;
    }
    auto lines = textfile::readLines(path);
    if (!lines || lines->empty() || textfile::trim((*lines)[0]) != kMarker) {
        return std::nullopt;
    }
    Values values;
    if (lines->size() > 1) values.connections = (*lines)[1];
    if (lines->size() > 2) values.folder = (*lines)[2];
    if (lines->size() > 3) values.buffer = (*lines)[3];
    return values;
}

bool SettingsFile::write(const std::string& path, const std::string& connections,
                         const std::string& folder, const std::string& buffer,
                         std::string* reason) {
    return textfile::writeLines(path, {kMarker, connections, folder, buffer}, reason);
}

std::optional<std::int64_t> SettingsFile::bufferBytes(const std::string& line4) {
    if (line4.size() < 3) {
        return std::nullopt;
    }
    const auto kilobytes = textfile::parseWholeNumber(line4.substr(0, line4.size() - 2));
    // 2,000,000 KB is far past any offered size and keeps the product in range.
    if (!kilobytes || *kilobytes <= 0 || *kilobytes > 2'000'000) {
        return std::nullopt;
    }
    return *kilobytes * 1000;
}

}  // namespace tandu
