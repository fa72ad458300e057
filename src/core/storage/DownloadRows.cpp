#include "storage/DownloadRows.h"

#include <chrono>
#include <filesystem>
#include <limits>
#include <unordered_set>

#include "storage/DefinitionFile.h"
#include "storage/DownloadOrder.h"
#include "storage/FileNames.h"
#include "text/DisplayText.h"
#include "text/NumberText.h"
#include "storage/TextFile.h"

namespace tandu {

namespace {

constexpr const char* kUnknown = "???";

// Bytes counted as received over all pieces of a progress file; nothing when
// the file is missing, a line does not start with a number, or the sum is
// larger than any file could be.
std::optional<std::int64_t> receivedBytes(const std::string& progressPath) {
    auto lines = textfile::readLines(progressPath, textfile::kProgressLimit);
    if (!lines) {
        return std::nullopt;
    }
    std::int64_t received = 0;
    for (const std::string& line : *lines) {
        const std::string trimmed = textfile::trim(line);
        if (trimmed.empty()) {
            continue;
        }
        auto count = textfile::parseWholeNumber(trimmed.substr(0, trimmed.find('-')));
        if (!count || *count < 0 || *count > std::numeric_limits<std::int64_t>::max() - received) {
            return std::nullopt;
        }
        received += *count;
    }
    return received;
}

std::string baseNameOf(const std::string& definitionPath) {
    std::string name = std::filesystem::path(definitionPath).filename().string();
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".def") == 0) {
        name.resize(name.size() - 4);
    }
    return name;
}

// A line 1 that can name the target file and show as it is: a torn or
// hostile one (line breaks, NUL, bytes that are not UTF-8, a path) cannot.
bool usableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           DisplayName(name) == name;
}

bool endsWith(const std::string& name, std::string_view end) {
    return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

// What an add or a rewrite killed half-way left behind. Only old ones go: a
// young one may be another process's work in progress.
void removeIfStaleScratch(const std::filesystem::directory_entry& entry, const std::string& name) {
    // Cookies are left only by a download whose definition is gone.
    const std::string path = entry.path().string();
    const bool orphanCookies =
        endsWith(name, ".cookies") &&
        !std::filesystem::exists(path.substr(0, path.size() - 8) + ".def");
    const bool scratch = (name.starts_with(".add-") && endsWith(name, ".tmp")) ||
                         endsWith(name, ".def.tmp") || endsWith(name, ".dwn.tmp") ||
                         name == std::string(DownloadOrder::kFileName) + ".tmp" || orphanCookies;
    std::error_code error;
    if (!scratch || !entry.is_regular_file(error)) {
        return;
    }
    const auto written = entry.last_write_time(error);
    if (!error &&
        std::filesystem::file_time_type::clock::now() - written > std::chrono::minutes(10)) {
        std::filesystem::remove(entry.path(), error);
    }
}

}  // namespace

DownloadRow ReadDownloadRow(const NumberText& numbers, const std::string& definitionPath) {
    const auto definition = DefinitionFile::read(definitionPath);
    DownloadRow row;
    row.text = definition ? textfile::trim(definition->fileName) : std::string();
    if (!usableName(row.text)) {
        // Without a usable line 1 the row still names its file, shown safely.
        row.text = DisplayName(baseNameOf(definitionPath));
    }
    const bool hasState = definition && definition->lineCount >= 2;
    const bool downloading = hasState && definition->state == DefinitionFile::kDownloading;
    row.paused = downloading;

    if (definition) {
        row.url = definition->url;
        row.folder = definition->saveFolder;
        row.extras = definition->extras;
    }
    if (!hasState || definition->state == DefinitionFile::kWaiting) {
        row.size = kUnknown;
    } else if (downloading) {
        const auto total = textfile::parseWholeNumber(definition->size);
        const auto received = receivedBytes(ProgressPathFor(definitionPath));
        if (total && *total >= 0 && received) {
            row.size = numbers.kb(*received) + "/" + numbers.kb(*total) + "KB";
        } else {
            row.size = kUnknown;
        }
    }
    return row;
}

void ScanDefinitions(const std::string& folder,
                     const std::function<void(const std::string&)>& each) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return;  // no folder, no rows
    }
    std::vector<std::string> names;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        // A link is listed too, so that it can be cancelled; it is never read.
        std::error_code typeError;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".def") == 0 &&
            (it->is_symlink(typeError) || it->is_regular_file(typeError))) {
            names.push_back(name.substr(0, name.size() - 4));
        } else {
            removeIfStaleScratch(*it, name);
        }
        if (error) {
            break;
        }
    }
    const DownloadOrder order(folder + "/");
    bool stale = false;
    const std::vector<std::string> sorted = order.sort(std::move(names), &stale);
    if (stale) {
        // Downloads that completed or went meanwhile leave the order too.
        const std::unordered_set<std::string> present(sorted.begin(), sorted.end());
        order.prune([&present](const std::string& name) { return present.count(name) != 0; });
    }
    for (const std::string& name : sorted) {
        each(folder + "/" + name + ".def");
    }
}

}  // namespace tandu
