#include "controls/Form.h"

namespace tandu {

Form::Form(std::string name) : CaptionedControl(std::move(name)) {
    setVisible(false);
}

Control* Form::find(const std::string& name, int index) const {
    for (Control* control : controls_) {
        if (control->name() == name && control->index() == index) {
            return control;
        }
    }
    return nullptr;
}

void Form::setWindowState(WindowState state) {
    if (windowState_ != state) {
        windowState_ = state;
        notify(Change::WindowState);
    }
}

void Form::unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    notify(Change::Unloaded);
}

void Form::requestClose() {
    if (onCloseRequest) {
        onCloseRequest();
    } else {
        unload();
    }
}

}  // namespace tandu
