#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/PiecePlan.h"

namespace tandu {

// NAME.dwn: one line per piece, "RECEIVED-LENGTH", where RECEIVED counts the
// piece's bytes that are in the target file.
class ProgressFile {
public:
    static std::vector<std::string> lines(const PiecePlan& plan,
                                          const std::vector<std::int64_t>& counts);
    // Replaces the file whole and atomically (a new file renamed over it).
    static bool write(const std::string& path, const PiecePlan& plan,
                      const std::vector<std::int64_t>& counts, std::string* reason = nullptr);
    // Every count 0, in a file whose name alone is made durable: that it is
    // there says the target is the download's own, and its text may be lost
    // in a cut, as it counts nothing.
    static bool claim(const std::string& path, const PiecePlan& plan, std::string* reason = nullptr);
    // One count per piece of the plan. A missing or empty line, or one that
    // does not start with a whole number, counts 0 (the piece starts over); a
    // count past the piece's length is its length. Nothing when the file
    // cannot be read.
    static std::optional<std::vector<std::int64_t>> read(const std::string& path,
                                                         const PiecePlan& plan);
    // For each piece of `plan`, the bytes from its start that the file counts,
    // whatever plan it was written for: its pieces lie end to end, and a
    // piece of length 0 (size unknown) counts from where it starts. Nothing
    // counts past a line that cannot be read.
    static std::vector<std::int64_t> carried(const std::string& path, const PiecePlan& plan);
};

}  // namespace tandu
