#pragma once

#include "controls/Control.h"

namespace tandu {

class Frame : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

}  // namespace tandu
