#pragma once

#include <string>

namespace tandu {

// The name a browser gives a file fetched from this address: the last
// segment of its path (never the query or the fragment), percent-decoded
// where that gives UTF-8, without surrounding blanks, with / \ : * ? " < > |
// and control characters each replaced by "_", cut on a character boundary
// to leave room for its ".def" and ".dwn" companions. A path without a name
// gives the host's name with ".html"; a text that is no address gives what
// follows its last "/", or "unkonwn".
std::string SafeDownloadName(const std::string& url);

// A name a server gave (Content-Disposition), made safe the same way and
// reduced to its last component, so it never leaves the folder; empty when
// nothing usable is left.
std::string SafeServerName(const std::string& name);

// True when the path names a regular file that can be opened for reading,
// not through a symbolic link.
bool FileExists(const std::string& path);

// definitions folder (ending in "/") + name + ".def"
std::string DefinitionPath(const std::string& definitionsFolder, const std::string& name);
// The progress file beside a definition file: its last three characters become "dwn".
std::string ProgressPathFor(const std::string& definitionPath);

}  // namespace tandu
