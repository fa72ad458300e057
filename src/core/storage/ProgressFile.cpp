#include "storage/ProgressFile.h"

#include <algorithm>

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

}  // namespace tandu
