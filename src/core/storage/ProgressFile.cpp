#include "storage/ProgressFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "storage/FileNames.h"
#include "storage/TextFile.h"

namespace tandu {

std::vector<std::string> ProgressFile::lines(const PiecePlan& plan,
                                             const std::vector<std::int64_t>& counts) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(plan.pieces));
    for (int i = 1; i <= plan.pieces; ++i) {
        const std::int64_t count = static_cast<std::size_t>(i - 1) < counts.size()
                                       ? counts[static_cast<std::size_t>(i - 1)]
                                       : 0;
        out.push_back(std::to_string(count) + "-" + std::to_string(plan.length(i)));
    }
    return out;
}

bool ProgressFile::write(const std::string& path, const PiecePlan& plan,
                         const std::vector<std::int64_t>& counts, std::string* reason) {
    return textfile::writeLinesAtomically(path, lines(plan, counts), reason);
}

bool ProgressFile::claim(const std::string& path, const PiecePlan& plan, std::string* reason) {
    // A file of its own: an older one's counts, durable in place, must not
    // come back in a cut under a name made durable here.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        if (reason) {
            *reason = std::strerror(errno);
        }
        return false;
    }
    return textfile::writeLines(path, lines(plan, {}), reason) &&
           textfile::syncFolder(textfile::folderOf(path), reason);
}

std::optional<std::vector<std::int64_t>> ProgressFile::read(const std::string& path,
                                                            const PiecePlan& plan) {
    if (!FileExists(path)) {
        return std::nullopt;
    }
    const auto lines = textfile::readLines(path, textfile::kProgressLimit);
    if (!lines) {
        return std::nullopt;
    }
    std::vector<std::int64_t> counts;
    for (int i = 1; i <= plan.pieces; ++i) {
        std::int64_t count = 0;
        if (static_cast<std::size_t>(i - 1) < lines->size()) {
            const std::string line = textfile::trim((*lines)[static_cast<std::size_t>(i - 1)]);
            const auto value = textfile::parseWholeNumber(line.substr(0, line.find('-')));
            if (value && *value > 0) {
                count = std::min(*value, plan.length(i));
            }
        }
        counts.push_back(count);
    }
    return counts;
}

std::vector<std::int64_t> ProgressFile::carried(const std::string& path, const PiecePlan& plan) {
    // Counted runs as [first, end), merged where one ends where the next starts.
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;
    std::int64_t offset = 0;
    for (const std::string& line : textfile::readLines(path, textfile::kProgressLimit)
                                       .value_or(std::vector<std::string>{})) {
        const std::size_t dash = line.find('-', line.find_first_not_of(' ') + 1);
        const auto count = textfile::parseWholeNumber(line.substr(0, dash));
        const auto length = dash == std::string::npos
                                ? std::nullopt
                                : textfile::parseWholeNumber(line.substr(dash + 1));
        if (!count || !length || *count < 0 || *length < 0 ||
            *length > plan.fileSize - offset) {
            break;
        }
        const std::int64_t end =
            offset + std::min(*count, *length > 0 ? *length : plan.fileSize - offset);
        if (!runs.empty() && runs.back().second == offset) {
            runs.back().second = end;
        } else {
            runs.emplace_back(offset, end);
        }
        offset += *length;
    }
    std::vector<std::int64_t> counts;
    for (int i = 1; i <= plan.pieces; ++i) {
        std::int64_t count = 0;
        for (const auto& [first, end] : runs) {
            if (first <= plan.start(i) && plan.start(i) < end) {
                count = std::min(end - plan.start(i), plan.length(i));
            }
        }
        counts.push_back(count);
    }
    return counts;
}

}  // namespace tandu
