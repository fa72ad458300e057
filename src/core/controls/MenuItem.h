#pragma once

#include <functional>
#include <vector>

#include "controls/Control.h"

namespace tandu {

// A menu, a menu item or a separator (caption "-"). A top-level menu with no
// items is a command on the menu bar itself.
class MenuItem : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    bool checked() const { return checked_; }
    void setChecked(bool checked) {
        if (checked_ != checked) {
            checked_ = checked;
            notify(Change::Checked);
        }
    }
    // A check item shows its mark; others never do.
    bool checkable() const { return checkable_; }
    void setCheckable(bool checkable) { checkable_ = checkable; }
    bool isSeparator() const { return caption() == "-"; }

    const std::vector<MenuItem*>& items() const { return items_; }
    void addItem(MenuItem& item) { items_.push_back(&item); }

    std::function<void()> onClick;
    void click() {
        if (onClick && enabled()) {
            onClick();
        }
    }

private:
    bool checked_ = false;
    bool checkable_ = false;
    std::vector<MenuItem*> items_;
};

}  // namespace tandu
