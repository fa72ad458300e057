#pragma once

#include <string>

#include "controls/Control.h"

namespace tandu {

// The file open/save dialog's settings and its last answer.
// Filter: "Description|pattern" pairs joined by "|".
class CommonDialog : public Control {
public:
    using Control::Control;
    std::string filter;
    std::string dialogTitle;
    std::string fileName;
};

}  // namespace tandu
