#pragma once

#include <string>
#include <string_view>

namespace tandu {

class UiServices;

// Texts the add dialogs and the preferences dialog share.
inline constexpr const char* kBrowsePrompt = "Select the destination directory";
inline constexpr const char* kInvalidUrlText = "Please set a valid URL.";
inline constexpr const char* kInvalidUrlTitle = "Invalid URL";
inline constexpr const char* kWrongFolderText = "Destination folder is invalid.";
inline constexpr const char* kWrongFolderTitle = "Wrong Folder";

// An existing folder is valid, and so is one that cannot be created at all.
// A folder that could be created is not: the test creates it and removes it again.
bool FolderIsValid(const std::string& folder);

// The system's folder picker; the chosen path without surrounding blanks, or
// the empty text when the user cancels.
std::string BrowseForFolder(UiServices& ui, const std::string& prompt);

// The folder with a final "/" (an empty folder becomes "/").
std::string WithTrailingSlash(std::string folder);

}  // namespace tandu
