#include "QtDialog.h"

#include <QCloseEvent>
#include <QPushButton>

#include "FormView.h"
#include "Text.h"
#include "controls/Button.h"
#include "controls/Form.h"

namespace tandu::qt {

QtDialog::QtDialog(Form& form, QWidget* parent, TwipsScale scale)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(toQ(form.name()));
    setWindowTitle(toQ(form.caption()));
    setFixedSize(scale.px(form.width()), scale.px(form.height()));
    view_ = new FormView(form, this, scale);
    // A focused button takes Enter, as on every desktop; elsewhere Enter goes
    // to the form's default button.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(true);
    }
    form.setListener([this](const ControlChange& change) {
        if (change.what == Change::Unloaded) {
            done(0);
        } else if (change.what == Change::Caption) {
            setWindowTitle(toQ(form_.caption()));
        }
    });
}

QtDialog::~QtDialog() {
    form_.setListener(nullptr);
}

void QtDialog::run() {
    if (!form_.unloaded()) {
        exec();
    }
}

void QtDialog::reject() {
    for (Control* control : form_.controls()) {
        auto* button = dynamic_cast<Button*>(control);
        if (button != nullptr && button->isCancel && button->enabled() && button->visible()) {
            button->click();
            return;
        }
    }
    form_.requestClose();
}

void QtDialog::closeEvent(QCloseEvent* event) {
    if (!form_.unloaded()) {
        form_.requestClose();
    }
    if (form_.unloaded()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tandu::qt
