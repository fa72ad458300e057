#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

#include "TwipsScale.h"

class QWidget;
class QTimer;

namespace tandu {
class Control;
class Form;
}  // namespace tandu

namespace tandu::qt {

// Builds one widget per control of a form, named after the control, and keeps
// control and widget in step both ways: the control's changes repaint the
// widget, the user's input updates the control and runs its handler.
class FormView : public QObject {
    Q_OBJECT
public:
    // Controls for which `skip` answers true get no widget (the host makes its own).
    FormView(Form& form, QWidget* root, TwipsScale scale,
             const std::function<bool(const Control&)>& skip = {});
    ~FormView() override;

    QWidget* widget(const Control& control) const;
    QWidget* root() const { return root_; }
    const TwipsScale& scale() const { return scale_; }
    // Applies a control's geometry to its widget again (e.g. after the host moved things).
    void place(const Control& control);

private:
    QWidget* create(Control& control, QWidget* parent);
    void bindCommon(Control& control, QWidget* widget);
    void bindTimer(Control& control);

    Form& form_;
    QPointer<QWidget> root_;
    TwipsScale scale_;
    std::map<const Control*, QPointer<QWidget>> widgets_;
    std::vector<Control*> bound_;
    std::vector<QTimer*> timers_;
};

// Escapes "&" so a caption shows as written instead of marking a shortcut.
QString plainCaption(const std::string& caption);

}  // namespace tandu::qt
