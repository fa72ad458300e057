#pragma once

#include <string>

namespace tandu {

// The download's file name from its URL: what follows the last "/", with
// / \ : * ? " < > | each replaced by "_"; "unkonwn" for an empty URL and the
// empty text for a URL without "/".
std::string FileNameFromURL(const std::string& url);

// The name a new download gets: FileNameFromURL, without surrounding blanks,
// never empty, "." or ".." (those become "unkonwn"), and short enough for the
// file system with its ".def" and ".dwn" companions.
std::string SafeDownloadName(const std::string& url);

// True when the path names a regular file that can be opened for reading,
// not through a symbolic link.
bool FileExists(const std::string& path);

// definitions folder (ending in "/") + name + ".def"
std::string DefinitionPath(const std::string& definitionsFolder, const std::string& name);
// The progress file beside a definition file: its last three characters become "dwn".
std::string ProgressPathFor(const std::string& definitionPath);

}  // namespace tandu
