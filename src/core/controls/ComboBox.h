#pragma once

#include <string>
#include <vector>

#include "controls/Control.h"

namespace tandu {

// A drop-down list whose text the user may also type.
class ComboBox : public Control {
public:
    using Control::Control;

    const std::vector<std::string>& items() const { return items_; }
    void addItem(const std::string& item) {
        items_.push_back(item);
        notify(Change::Items);
    }
    void clearItems() {
        items_.clear();
        notify(Change::Items);
    }

    const std::string& text() const { return text_; }
    void setText(const std::string& text) {
        if (text_ != text) {
            text_ = text;
            notify(Change::Text);
        }
    }

private:
    std::vector<std::string> items_;
    std::string text_;
};

}  // namespace tandu
