#pragma once

#include <functional>

#include "controls/Control.h"

namespace tandu {

class CheckBox : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    bool checked() const { return checked_; }
    void setChecked(bool checked) {
        if (checked_ != checked) {
            checked_ = checked;
            notify(Change::Checked);
        }
    }

    std::function<void()> onClick;
    // A user's click: the mark flips, then the handler runs.
    void click() {
        if (!enabled()) {
            return;
        }
        setChecked(!checked_);
        if (onClick) {
            onClick();
        }
    }

private:
    bool checked_ = false;
};

}  // namespace tandu
