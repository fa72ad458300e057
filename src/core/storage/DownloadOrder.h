#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tandu {

// The order of the download list across restarts, kept in "list.order"
// beside the definitions: one definition name a line, appended as each
// download is added. A name's last line is its place (a name can come back
// after its download ended); names whose definition is gone are dropped
// when rows go. Definitions it does not name (written by older builds) come
// after the named ones, by name.
class DownloadOrder {
public:
    static constexpr const char* kFileName = "list.order";

    // `definitionsFolder` ends with "/".
    explicit DownloadOrder(std::string definitionsFolder)
        : path_(std::move(definitionsFolder) + kFileName) {}

    const std::string& path() const { return path_; }
    // False when the line cannot be written (the list's order then falls
    // back to names for this download).
    bool append(const std::string& name) const;
    // Rewrites the file with only the names `exists` answers true for (none:
    // no file).
    void prune(const std::function<bool(const std::string& name)>& exists) const;
    // The names in list order; `stale` tells whether the file names others.
    std::vector<std::string> sort(std::vector<std::string> names, bool* stale = nullptr) const;

private:
    std::string path_;
};

}  // namespace tandu
