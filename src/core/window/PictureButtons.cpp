#include "window/PictureButtons.h"

namespace tandu {

PictureButtons::PictureButtons(Pictures& normal, Pictures& hover, Pictures& pressed)
    : normal_(normal), hover_(hover), pressed_(pressed) {}

void PictureButtons::show(int index, Picture& which) {
    // Hide before show, so no repaint ever sees two looks at once.
    for (Picture* picture : {&normal_[index], &hover_[index], &pressed_[index]}) {
        if (picture != &which) {
            picture->setVisible(false);
        }
    }
    which.setVisible(true);
}

void PictureButtons::resetToNormal() {
    for (int i = 0; i < kCount; ++i) {
        show(i, normal_[i]);
    }
}

void PictureButtons::hover(int index) {
    if (!validIndex(index)) {
        return;
    }
    for (int i = 0; i < kCount; ++i) {
        show(i, i == index ? hover_[i] : normal_[i]);
    }
}

void PictureButtons::press(int index) {
    if (validIndex(index)) {
        show(index, pressed_[index]);
    }
}

void PictureButtons::release(int index) {
    if (validIndex(index)) {
        show(index, hover_[index]);
    }
}

}  // namespace tandu
