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

void ProgressLine::show(const std::vector<Figures>& running) {
    std::string out;
    if (terminal_) {
        rewind();
    }
    for (std::size_t i = 0; i < running.size(); ++i) {
        out += format(running[i]);
        if (!terminal_ || i + 1 < running.size()) {
            out += '\n';
        }
    }
    if (terminal_) {
        open_ = running.size();
    }
    std::cout << out << std::flush;
}

void ProgressLine::done(const Figures& figures) {
    rewind();
    std::cout << format(figures) << '\n' << std::flush;
}

void ProgressLine::rewind() {
    if (open_ == 0) {
        return;
    }
    std::cout << '\r';
    if (open_ > 1) {
        std::cout << "\x1b[" << open_ - 1 << 'A';
    }
    std::cout << "\x1b[J";
    open_ = 0;
}

void ProgressLine::interrupt() {
    if (open_ > 0) {
        std::cout << '\n' << std::flush;
        open_ = 0;
    }
}

}  // namespace tandu::cli
