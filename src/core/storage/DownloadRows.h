#pragma once

#include <functional>
#include <map>
#include <string>

namespace tandu {

class NumberText;

// What a definition file shows before it runs.
struct DownloadRow {
    std::string text;     // line 1 trimmed, else the file's base name
    bool paused = false;  // "Paused" rather than "Waiting"
    std::string size;
    std::string url;     // line 3 as stored
    std::string folder;  // line 4 as stored
    std::map<std::string, std::string> extras;
};

DownloadRow ReadDownloadRow(const NumberText& numbers, const std::string& definitionPath);
// Calls `each` with the path of every "*.def" file in the folder, in the
// list's order (DownloadOrder).
void ScanDefinitions(const std::string& folder,
                     const std::function<void(const std::string&)>& each);

}  // namespace tandu
