#include "transfer/OverallLimit.h"

#include "net/Fetcher.h"
#include "storage/SettingsFile.h"
#include "transfer/DownloadSetup.h"

namespace tandu {

void OverallLimit::refresh() {
    const std::string path = setup_.settingsPath();
    std::error_code error;
    Stamp stamp;
    stamp.written = std::filesystem::last_write_time(path, error);
    if (!error) {
        stamp.size = std::filesystem::file_size(path, error);
    }
    const std::optional<Stamp> now = error ? std::nullopt : std::optional<Stamp>(stamp);
    if (!looked_ || now != seen_) {
        looked_ = true;
        seen_ = now;
        const auto values = SettingsFile::read(path);
        fromFile_ = values ? SettingsFile::limitOf(values->extras) : 0;
    }
    apply();
}

void OverallLimit::setRunLimit(std::optional<std::int64_t> kbps) {
    run_ = kbps;
    apply();
}

void OverallLimit::apply() {
    if (applied_ != kbps()) {
        applied_ = kbps();
        setup_.fetcher.setOverallLimit(kbps() * 1000);
    }
}

}  // namespace tandu
