#pragma once

#include <QDialog>

#include "TwipsScale.h"

namespace tandu {
class Form;
}

namespace tandu::qt {

class FormView;

// A modal dialog showing a form; it ends when the form unloads. Escape
// presses the form's cancel button, the frame's close asks the form.
class QtDialog : public QDialog {
    Q_OBJECT
public:
    QtDialog(Form& form, QWidget* parent, TwipsScale scale);
    ~QtDialog() override;

    FormView& view() { return *view_; }
    // Shows the dialog modally until the form unloads.
    void run();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form& form_;
    FormView* view_;
};

}  // namespace tandu::qt
