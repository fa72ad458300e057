#pragma once

#include <functional>
#include <string>

namespace tandu {

// What changed in a control, so a front-end can repaint only that.
enum class Change {
    Visible,
    Enabled,
    Geometry,
    Caption,
    Text,
    Checked,
    BackColor,
    Items,
    Range,
    Value,
    Columns,
    RowsReset,
    RowInserted,
    RowRemoved,
    Cell,
    Selection,
    Tabs,
    Interval,
    Picture,
    WindowState,
    Unloaded,
};

struct ControlChange {
    Change what;
    int row = -1;     // list rows: 0-based
    int column = -1;  // list cells: 0 is the row text
};

// A view-model control: the plain data a user sees, with one listener.
// Geometry is in twips, relative to the control's container.
class Control {
public:
    using Listener = std::function<void(const ControlChange&)>;

    explicit Control(std::string name, int index = -1);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    // Position in a control array (imgBtn(2) has index 2), -1 for a single control.
    int index() const { return index_; }

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void move(int left, int top);
    void setGeometry(int left, int top, int width, int height);

    void setListener(Listener listener) { listener_ = std::move(listener); }

    // The frame (or other control) this one sits in; null: the form itself.
    Control* container() const { return container_; }
    void setContainer(Control& container) { container_ = &container; }

protected:
    void notify(Change what, int row = -1, int column = -1) const;

private:
    std::string name_;
    int index_;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    Listener listener_;
    Control* container_ = nullptr;
};

// A control whose face carries a caption (buttons, labels, frames, check boxes, menus).
class CaptionedControl : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);

private:
    std::string caption_;
};

}  // namespace tandu
