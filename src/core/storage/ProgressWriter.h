#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/PiecePlan.h"

namespace tandu {

// Keeps a running transfer's progress file up to date, cheaply and so that a
// process killed at any moment leaves either the old text or the new one.
class ProgressWriter {
public:
    // A new file renamed over the old one: for any change.
    bool replace(const std::string& path, const PiecePlan& plan,
                 const std::vector<std::int64_t>& counts, std::string* reason);
    // For counts that only grew since the last write. Their text is never
    // shorter than the one on disk, so a single write over it in place (one
    // system call, one page) is all or nothing, like the rename, without the
    // file system forcing the new file out at every rename over an old one.
    bool advance(const std::string& path, const PiecePlan& plan,
                 const std::vector<std::int64_t>& counts, std::string* reason);

    // Joins the lines with CR LF as the file holds them.
    static std::string text(const PiecePlan& plan, const std::vector<std::int64_t>& counts);

private:
    static constexpr std::size_t kOnePage = 4096;

    std::string path_;
    std::size_t length_ = 0;  // of the text last written to path_
};

}  // namespace tandu
