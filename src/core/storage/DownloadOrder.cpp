#include "storage/DownloadOrder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unordered_map>
#include <unordered_set>

#include "storage/TextFile.h"

namespace tandu {

namespace {

// Each name's place: the index of its last line.
std::unordered_map<std::string, std::size_t> places(const std::string& path) {
    std::unordered_map<std::string, std::size_t> place;
    const auto lines = textfile::readLines(path, textfile::kListLimit);
    if (lines) {
        for (std::size_t i = 0; i < lines->size(); ++i) {
            if (!(*lines)[i].empty()) {
                place[(*lines)[i]] = i;
            }
        }
    }
    return place;
}

}  // namespace

bool DownloadOrder::append(const std::string& name) const {
    std::ofstream out(path_, std::ios::binary | std::ios::app);
    out << name << "\r\n";  // one short write: appends from two processes do not mix
    out.close();
    return static_cast<bool>(out);
}

void DownloadOrder::prune(const std::function<bool(const std::string&)>& exists) const {
    std::vector<std::pair<std::size_t, std::string>> kept;
    for (auto& [name, at] : places(path_)) {
        if (exists(name)) {
            kept.emplace_back(at, name);
        }
    }
    std::sort(kept.begin(), kept.end());
    if (kept.empty()) {
        std::error_code error;
        std::filesystem::remove(path_, error);
        return;
    }
    std::vector<std::string> lines;
    lines.reserve(kept.size());
    for (auto& entry : kept) {
        lines.push_back(std::move(entry.second));
    }
    textfile::writeLinesAtomically(path_, lines);
}

std::vector<std::string> DownloadOrder::sort(std::vector<std::string> names, bool* stale) const {
    const auto place = places(path_);
    if (stale) {
        const std::unordered_set<std::string> present(names.begin(), names.end());
        *stale = std::any_of(place.begin(), place.end(),
                             [&](const auto& entry) { return !present.count(entry.first); });
    }
    const std::size_t unplaced = SIZE_MAX;
    auto placeOf = [&](const std::string& name) {
        const auto it = place.find(name);
        return it == place.end() ? unplaced : it->second;
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const std::size_t pa = placeOf(a);
        const std::size_t pb = placeOf(b);
        return pa != pb ? pa < pb : a < b;
    });
    return names;
}

}  // namespace tandu
