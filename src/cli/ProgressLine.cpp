#include "ProgressLine.h"

#include <algorithm>
#include <iostream>

namespace tandu::cli {

namespace {
constexpr int kBarWidth = 30;
}  // namespace

std::string ProgressLine::format(const Figures& figures) {
    const double share =
        figures.total > 0
            ? std::clamp(static_cast<double>(figures.done) / static_cast<double>(figures.total),
                         0.0, 1.0)
            : 0.0;
    const int filled = static_cast<int>(share * kBarWidth);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '-');
    return figures.name + "  " + figures.state + "  " + figures.size + "  " + figures.speed + "  " +
           figures.eta + "  [" + bar + "] " + std::to_string(static_cast<int>(share * 100)) + "%";
}

void ProgressLine::show(const Figures& figures) {
    const std::string line = format(figures);
    if (!terminal_) {
        std::cout << line << '\n' << std::flush;
        return;
    }
    std::string padded = line;
    if (lastWidth_ > line.size()) {
        padded.append(lastWidth_ - line.size(), ' ');
    }
    lastWidth_ = line.size();
    std::cout << '\r' << padded << std::flush;
    open_ = true;
}

void ProgressLine::finish() {
    if (open_) {
        std::cout << '\n' << std::flush;
        open_ = false;
        lastWidth_ = 0;
    }
}

}  // namespace tandu::cli
