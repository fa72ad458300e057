#pragma once

#include <string>

namespace tandu {

class UiServices;

inline constexpr const char* kBrowsePrompt = "Select the destination directory";

// The system's folder picker; the chosen path without surrounding blanks, or
// the empty text when the user cancels.
std::string BrowseForFolder(UiServices& ui, const std::string& prompt);

}  // namespace tandu
