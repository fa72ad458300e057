#include "storage/SettingsFile.h"

#include <algorithm>

#include "storage/FileNames.h"
#include "storage/TextFile.h"

namespace tandu {

std::optional<SettingsFile::Values> SettingsFile::read(const std::string& path) {
    if (!FileExists(path)) {
        return std::nullopt;
    }
    auto lines = textfile::readLines(path, textfile::kSettingsLimit);
    if (!lines || lines->empty() || textfile::trim((*lines)[0]) != kMarker) {
        return std::nullopt;
    }
    Values values;
    if (lines->size() > 1)
        values.connections = (*lines)[1];
    if (lines->size() > 2)
        values.folder = (*lines)[2];
    if (lines->size() > 3)
        values.buffer = (*lines)[3];
    if (lines->size() > 4)
        values.simultaneous = (*lines)[4];
    for (std::size_t i = 5; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && equals > 0) {
            values.extras.emplace(textfile::trim(line.substr(0, equals)),
                                  textfile::trim(line.substr(equals + 1)));
        }
    }
    return values;
}

SettingsFile::Defaults SettingsFile::defaults(const std::string& path) {
    Defaults shown;
    const auto values = read(path);
    if (!values) {
        return shown;
    }
    shown.fromFile = true;
    if (values->connections && usableConnections(*values->connections)) {
        shown.connections = textfile::trim(*values->connections);
    }
    if (values->folder) {
        shown.folder = textfile::trim(*values->folder);
    }
    const std::string buffer = values->buffer ? textfile::trim(*values->buffer) : std::string();
    if (buffer.ends_with("KB") && bufferBytes(buffer)) {
        shown.buffer = buffer;
    }
    shown.simultaneous = simultaneous(path);
    shown.extras = values->extras;
    return shown;
}

int SettingsFile::simultaneous(const std::string& path) {
    const auto values = read(path);
    if (!values || !values->simultaneous) {
        return 1;
    }
    const auto count = textfile::parseWholeNumber(textfile::trim(*values->simultaneous));
    return count && *count >= 1 && *count <= kMostSimultaneous ? static_cast<int>(*count) : 1;
}

bool SettingsFile::write(const std::string& path, const std::string& connections,
                         const std::string& folder, const std::string& buffer,
                         std::string* reason) {
    return write(path, connections, folder, buffer, simultaneous(path), reason);
}

bool SettingsFile::write(const std::string& path, const std::string& connections,
                         const std::string& folder, const std::string& buffer, int simultaneous,
                         std::string* reason) {
    const auto values = read(path);
    return write(path, connections, folder, buffer, simultaneous,
                 values ? values->extras : Extras{}, reason);
}

bool SettingsFile::write(const std::string& path, const std::string& connections,
                         const std::string& folder, const std::string& buffer, int simultaneous,
                         const Extras& extras, std::string* reason) {
    const std::string breaks("\r\n\0", 3);
    bool broken = false;
    for (const std::string* value : {&connections, &folder, &buffer}) {
        broken = broken || value->find_first_of(breaks) != std::string::npos;
    }
    for (const auto& [key, value] : extras) {
        broken = broken || (key + value).find_first_of(breaks) != std::string::npos ||
                 key.find('=') != std::string::npos;
    }
    if (broken) {
        if (reason) {
            *reason = "a value holds a line break";
        }
        return false;
    }
    // The defaults leave the file as older builds wrote it.
    std::vector<std::string> lines = {kMarker, connections, folder, buffer};
    const int atOnce = std::clamp(simultaneous, 1, kMostSimultaneous);
    if (atOnce != 1 || !extras.empty()) {
        lines.push_back(std::to_string(atOnce));
    }
    for (const auto& [key, value] : extras) {
        lines.push_back(key + "=" + value);
    }
    return textfile::writeLinesAtomically(path, lines, reason);
}

std::optional<std::int64_t> SettingsFile::bufferBytes(const std::string& line4) {
    if (line4.size() < 3) {
        return std::nullopt;
    }
    const auto kilobytes = textfile::parseWholeNumber(line4.substr(0, line4.size() - 2));
    if (!kilobytes || *kilobytes <= 0 || *kilobytes > kLargestBufferKB) {
        return std::nullopt;
    }
    return *kilobytes * 1000;
}

std::int64_t SettingsFile::limitOf(const Extras& extras) {
    const auto it = extras.find(kLimitKey);
    const auto kbps = it == extras.end() ? std::nullopt : textfile::parseWholeNumber(it->second);
    return kbps && *kbps > 0 ? *kbps : 0;
}

bool SettingsFile::usableConnections(const std::string& text) {
    const auto count = textfile::parseWholeNumber(text);
    return count && *count >= 1 && *count <= 16;
}

}  // namespace tandu
