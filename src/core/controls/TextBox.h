#pragma once

#include <functional>
#include <string>

#include "controls/Color.h"
#include "controls/Control.h"

namespace tandu {

class TextBox : public Control {
public:
    using Control::Control;

    const std::string& text() const { return text_; }
    void setText(const std::string& text) {
        if (text_ != text) {
            text_ = text;
            notify(Change::Text);
        }
    }

    Color backColor() const { return backColor_; }
    void setBackColor(Color color) {
        if (!(backColor_ == color)) {
            backColor_ = color;
            notify(Change::BackColor);
        }
    }

    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool multiLine) { multiLine_ = multiLine; }
    bool locked() const { return locked_; }  // read-only text a user can still select
    void setLocked(bool locked) { locked_ = locked; }

    std::function<void()> onLostFocus;
    void lostFocus() {
        if (onLostFocus) {
            onLostFocus();
        }
    }

private:
    std::string text_;
    Color backColor_ = Color::rgb(255, 255, 255);
    bool multiLine_ = false;
    bool locked_ = false;
};

}  // namespace tandu
