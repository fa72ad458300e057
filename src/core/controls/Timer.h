#pragma once

#include <functional>

#include "controls/Control.h"

namespace tandu {

// A periodic timer; the front-end fires tick() every interval while enabled.
class Timer : public Control {
public:
    explicit Timer(std::string name) : Control(std::move(name)) { setEnabled(false); }

    int interval() const { return interval_; }
    void setInterval(int milliseconds) {
        if (interval_ != milliseconds) {
            interval_ = milliseconds;
            notify(Change::Interval);
        }
    }

    std::function<void()> onTimer;
    void tick() {
        if (enabled() && onTimer) {
            onTimer();
        }
    }

private:
    int interval_ = 0;
};

}  // namespace tandu
