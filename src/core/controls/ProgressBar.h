#pragma once

#include <cstdint>

#include "controls/Control.h"

namespace tandu {

class ProgressBar : public Control {
public:
    using Control::Control;

    std::int64_t min() const { return min_; }
    std::int64_t max() const { return max_; }
    std::int64_t value() const { return value_; }
    void setMin(std::int64_t min) { setRange(min, max_); }
    void setMax(std::int64_t max) { setRange(min_, max); }
    void setRange(std::int64_t min, std::int64_t max) {
        if (min != min_ || max != max_) {
            min_ = min;
            max_ = max;
            notify(Change::Range);
        }
    }
    void setValue(std::int64_t value) {
        if (value != value_) {
            value_ = value;
            notify(Change::Value);
        }
    }

private:
    std::int64_t min_ = 0;
    std::int64_t max_ = 100;
    std::int64_t value_ = 0;
};

}  // namespace tandu
