#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace tandu {

class TabStrip : public Control {
public:
    using Control::Control;

    const std::vector<std::string>& tabs() const { return tabs_; }
    void addTab(const std::string& caption) {
        tabs_.push_back(caption);
        if (selected_ < 0) {
            selected_ = 0;
        }
        notify(Change::Tabs);
    }

    int selectedIndex() const { return selected_; }
    std::string selectedCaption() const {
        return selected_ >= 0 && selected_ < static_cast<int>(tabs_.size()) ? tabs_[selected_]
                                                                            : std::string();
    }
    void select(int index) {
        if (index != selected_) {
            selected_ = index;
            notify(Change::Selection, index);
        }
    }

    std::function<void()> onClick;
    // A user's click on tab `index`: select it, then run the handler.
    void clickTab(int index) {
        select(index);
        if (onClick) {
            onClick();
        }
    }

private:
    std::vector<std::string> tabs_;
    int selected_ = -1;
};

}  // namespace tandu
