#pragma once

#include <QMainWindow>

#include "TwipsScale.h"

namespace tandu {
class frmMain;
}

namespace tandu::qt {

class FormView;

// The main window: frmMain's controls, its menu bar and its skinned buttons.
class QtMainWindow : public QMainWindow {
    Q_OBJECT
public:
    QtMainWindow(frmMain& form, TwipsScale scale);
    ~QtMainWindow() override;

    frmMain& form() { return form_; }
    FormView& view() { return *view_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applySize();
    void applyWindowState();
    void forwardMouseMove(QWidget* from, QMouseEvent* event);
    // A move over the background at the pointer's place, for the pointer
    // leaving a skinned button.
    void forwardBackgroundMove(QWidget* client);

    frmMain& form_;
    TwipsScale scale_;
    FormView* view_ = nullptr;
    bool syncingState_ = false;
};

}  // namespace tandu::qt
