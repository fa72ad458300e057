#pragma once

#include "controls/Control.h"

namespace tandu {

class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    // Long captions break into lines inside the label's width.
    bool wordWrap = false;
};

}  // namespace tandu
