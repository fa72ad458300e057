#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tandu {

struct DownloadSetup;

// The speed limit all downloads share, as given to the fetcher: the settings
// file's, unless a run set its own. The file is looked at again on every
// refresh (once a tick), so a limit changed from either face, or from
// another process, reaches running downloads within a second.
class OverallLimit {
public:
    explicit OverallLimit(DownloadSetup& setup) : setup_(setup) {}

    // Reads the settings file again when it changed since the last look.
    void refresh();
    // A run's own limit (KB/s, 0: none) over the file's; nothing: the file's again.
    void setRunLimit(std::optional<std::int64_t> kbps);
    // KB/s, 0 for none.
    std::int64_t kbps() const { return run_.value_or(fromFile_); }

private:
    struct Stamp {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };
    void apply();

    DownloadSetup& setup_;
    std::optional<std::int64_t> run_;
    std::int64_t fromFile_ = 0;
    bool looked_ = false;
    std::optional<Stamp> seen_;
    std::optional<std::int64_t> applied_;
};

}  // namespace tandu
