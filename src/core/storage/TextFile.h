#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandu {

// The line-oriented text files of the program: every line written ends with
// CR LF; readers accept CR LF and a lone LF.
namespace textfile {

// Size caps for each kind of stored file: far beyond anything the program
// writes, far below what would strain memory.
inline constexpr std::size_t kSettingsLimit = 64 * 1024;
inline constexpr std::size_t kDefinitionLimit = 1024 * 1024;
inline constexpr std::size_t kProgressLimit = 64 * 1024;
inline constexpr std::size_t kListLimit = 64 * 1024 * 1024;

// Every line of the file, without line ends; nothing when it cannot be read,
// is a symbolic link (never followed), is not a regular file (a FIFO would
// block, a device never end) or holds more than `limit` bytes. `reason` says
// which.
std::optional<std::vector<std::string>> readLines(const std::string& path,
                                                  std::size_t limit = kListLimit,
                                                  std::string* reason = nullptr);

// Splits text into lines (a final line end does not start another line).
std::vector<std::string> splitLines(std::string_view text);

// Replaces the file with the lines, each ended by CR LF; a symbolic link at
// the path is refused, never written through. On failure returns false and,
// when asked, the system's reason.
bool writeLines(const std::string& path, const std::vector<std::string>& lines,
                std::string* reason = nullptr);
// The same, but durable and whole: written beside its place, synced, renamed
// over it and the folder synced, so a reader, a crash or a power cut finds the
// old text or the new one, never half a file or an empty one.
// Later: the new name becomes durable with the next sync of its folder (the
// old text stays until then, whole).
enum class NameSync { Now, Later };
bool writeLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          std::string* reason = nullptr, NameSync nameSync = NameSync::Now);
// The same in two halves: the text goes beside the file now, and the step
// returned makes it durable and renames it over the file, from any thread.
// None (with the reason) when the text cannot be written.
std::optional<std::function<bool(std::string*)>> stageLinesAtomically(
    const std::string& path, const std::vector<std::string>& lines, std::string* reason = nullptr);
// Makes the names in the folder (created, renamed, removed) durable.
bool syncFolder(const std::string& folder, std::string* reason = nullptr);
// The folder a path's file is in.
std::string folderOf(const std::string& path);

// True when the text holds a byte below 0x20 or 0x7F: such a value would
// break a definition file's lines and a request line.
bool hasControlCharacter(std::string_view text);

// Surrounding blanks removed.
std::string trim(std::string_view text);
// A whole decimal number with optional surrounding blanks and an optional
// sign; nothing for anything else (or a value beyond 64 bits).
std::optional<std::int64_t> parseWholeNumber(std::string_view text);

}  // namespace textfile
}  // namespace tandu
