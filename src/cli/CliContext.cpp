#include "CliContext.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

namespace tandu::cli {

CliContext::CliContext(std::string programFolder) : app(platform, std::move(programFolder), "") {}

frmMain& CliContext::load() {
    main_ = &app.loadMainWindow();
    bindTimer();
    return *main_;
}

DownloadList& CliContext::downloads() {
    if (!downloads_) {
        downloads_ = std::make_unique<DownloadList>(DownloadSetup{
            fetcher, locks, NumberText(ui.thousandsSeparator()), app.programFolder(), {}});
        downloads_->load(ui);
    }
    return *downloads_;
}

void CliContext::bindTimer() {
    Timer& tmr = main_->tmr;
    auto sync = [this, &tmr] {
        if (timerId_ != 0) {
            loop.removeTimer(timerId_);
            timerId_ = 0;
        }
        if (tmr.enabled() && tmr.interval() > 0) {
            timerId_ =
                loop.addTimer(std::chrono::milliseconds(tmr.interval()), [&tmr] { tmr.tick(); });
        }
    };
    tmr.setListener([sync](const ControlChange& change) {
        if (change.what == Change::Enabled || change.what == Change::Interval) {
            sync();
        }
    });
    sync();
}

void CliContext::runUntil(const std::function<bool()>& done) {
    loop.run(done);
}

std::string executableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path().string();
    }
    return self.parent_path().string();
}

}  // namespace tandu::cli
