#pragma once

#include <functional>
#include <string>

namespace tandu {

class NumberText;
class UiServices;

// What a definition file shows before it runs.
struct DownloadRow {
    std::string text;     // line 1 trimmed, else the file's base name
    bool paused = false;  // "Paused" rather than "Waiting"
    std::string size;
};

DownloadRow ReadDownloadRow(const NumberText& numbers, const std::string& definitionPath);
// Calls `each` with the path of every "*.def" file in the folder, in listing
// order, letting the window paint between files.
void ScanDefinitions(UiServices& ui, const std::string& folder,
                     const std::function<void(const std::string&)>& each);

}  // namespace tandu
