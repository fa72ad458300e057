#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"
#include "controls/MenuItem.h"

namespace tandu {

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// A window as a view model: its caption, size in twips, its controls and menus.
// A front-end finds each control by name (and index, for control arrays).
class Form : public CaptionedControl {
public:
    explicit Form(std::string name);

    const std::vector<Control*>& controls() const { return controls_; }
    Control* find(const std::string& name, int index = -1) const;
    const std::vector<MenuItem*>& menus() const { return menus_; }

    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState state);

    // Unloading ends the form: a modal form's loop returns.
    bool unloaded() const { return unloaded_; }
    void unload();

    // The user closed the window by its frame; by default the form unloads.
    std::function<void()> onCloseRequest;
    void requestClose();

    // Mouse over the form background: button, shift state, x and y in twips.
    std::function<void(int, int, double, double)> onMouseMove;
    void mouseMove(int button, int shift, double x, double y) {
        if (onMouseMove) {
            onMouseMove(button, shift, x, y);
        }
    }

protected:
    // Registers controls in creation order; the front-end binds them by name.
    template <typename... Controls>
    void add(Controls&... controls) {
        (controls_.push_back(&controls), ...);
    }
    void addMenu(MenuItem& menu) { menus_.push_back(&menu); }

private:
    std::vector<Control*> controls_;
    std::vector<MenuItem*> menus_;
    WindowState windowState_ = WindowState::Normal;
    bool unloaded_ = false;
};

}  // namespace tandu
