#pragma once

#include "platform/Control.h"

namespace tandu {

class Frame : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

}  // namespace tandu
