#include "ProgressLine.h"

#include <algorithm>

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
    std::string out = terminal_ ? rewind() : std::string();
    for (std::size_t i = 0; i < running.size(); ++i) {
        out += format(running[i]);
        if (!terminal_ || i + 1 < running.size()) {
            out += '\n';
        }
    }
    if (out_.write(out, true) && terminal_) {
        open_ = running.size();
    }
}

void ProgressLine::done(const Figures& figures) {
    out_.write(rewind() + format(figures) + '\n', false);
}

std::string ProgressLine::rewind() {
    if (open_ == 0) {
        return {};
    }
    std::string out = "\r";
    if (open_ > 1) {
        out += "\x1b[" + std::to_string(open_ - 1) + 'A';
    }
    open_ = 0;
    return out + "\x1b[J";
}

void ProgressLine::interrupt() {
    if (open_ > 0) {
        out_.write("\n", false);
        open_ = 0;
    }
}

}  // namespace tandu::cli
