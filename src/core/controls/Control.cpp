#include "controls/Control.h"

namespace tandu {

Control::Control(std::string name, int index) : name_(std::move(name)), index_(index) {}

void Control::setVisible(bool visible) {
    if (visible_ == visible) {
        return;
    }
    visible_ = visible;
    notify(Change::Visible);
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    notify(Change::Enabled);
}

void Control::setLeft(int twips) {
    setGeometry(twips, top_, width_, height_);
}
void Control::setTop(int twips) {
    setGeometry(left_, twips, width_, height_);
}
void Control::setWidth(int twips) {
    setGeometry(left_, top_, twips, height_);
}
void Control::setHeight(int twips) {
    setGeometry(left_, top_, width_, twips);
}
void Control::move(int left, int top) {
    setGeometry(left, top, width_, height_);
}

void Control::setGeometry(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify(Change::Geometry);
}

void Control::notify(Change what, int row, int column) const {
    if (listener_) {
        listener_(ControlChange{what, row, column});
    }
}

void CaptionedControl::setCaption(const std::string& caption) {
    if (caption_ == caption) {
        return;
    }
    caption_ = caption;
    notify(Change::Caption);
}

}  // namespace tandu
