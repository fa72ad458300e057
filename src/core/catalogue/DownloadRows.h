#pragma once

#include <string>

namespace tandu {

class ListView;
class NumberText;
class UiServices;

// Appends one row for the definition file at that path.
void AddDownloadRow(ListView& lstDown, const NumberText& numbers,
                    const std::string& definitionPath);
// One row per "*.def" file in the folder, in listing order; the list paints while it fills.
void ScanDefinitions(ListView& lstDown, const NumberText& numbers, UiServices& ui,
                     const std::string& folder);

}  // namespace tandu
