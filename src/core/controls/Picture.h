#pragma once

#include <functional>
#include <string>

#include "controls/Control.h"

namespace tandu {

// A picture control; `image` names the artwork the front-end paints.
class Picture : public Control {
public:
    using Control::Control;

    const std::string& image() const { return image_; }
    void setImage(const std::string& image) {
        if (image_ != image) {
            image_ = image;
            notify(Change::Picture);
        }
    }

    std::function<void()> onMouseMove;
    std::function<void()> onMouseDown;
    std::function<void()> onMouseUp;
    std::function<void()> onClick;
    void mouseMove() { fire(onMouseMove); }
    void mouseDown() { fire(onMouseDown); }
    void mouseUp() { fire(onMouseUp); }
    void click() { fire(onClick); }

private:
    static void fire(const std::function<void()>& handler) {
        if (handler) {
            handler();
        }
    }
    std::string image_;
};

}  // namespace tandu
