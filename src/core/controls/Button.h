#pragma once

#include <functional>

#include "controls/Control.h"

namespace tandu {

class Button : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    // Enter presses the default button, Escape the cancel button.
    bool isDefault = false;
    bool isCancel = false;

    std::function<void()> onClick;
    // What a front-end calls when the user presses the button.
    void click() {
        if (onClick && enabled()) {
            onClick();
        }
    }
};

}  // namespace tandu
