#include "QtMainWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMenuBar>
#include <QMouseEvent>

#include "Artwork.h"
#include "FormView.h"
#include "PictureButtonWidget.h"
#include "QtMenus.h"
#include "Text.h"
#include "window/frmMain.h"

namespace tandu::qt {

namespace {
// A form's height counts its caption bar, borders and menu bar. The desktop
// draws the caption and borders outside a Qt window, and Qt's menu bar is as
// tall as its font makes it: the rest is the client area below the menu.
constexpr int kNonClientTwips = 675;
}  // namespace

QtMainWindow::QtMainWindow(frmMain& form, TwipsScale scale)
    : QMainWindow(nullptr), form_(form), scale_(scale) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(toQ(form.caption()));
    setWindowIcon(Artwork::appIcon());
    fillMenuBar(*menuBar(), form);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    central->setMouseTracking(true);
    central->installEventFilter(this);
    setCentralWidget(central);

    // The skinned buttons get one widget per index; everything else is generic.
    view_ = new FormView(form, central, scale, [](const Control& control) {
        return control.name() == "imgBtn" || control.name() == "imgBtnO" ||
               control.name() == "imgBtnC";
    });
    for (int i = 0; i < frmMain::kPictureCount; ++i) {
        auto* button =
            new PictureButtonWidget(form.imgBtn[i], form.imgBtnO[i], form.imgBtnC[i], central);
        button->setObjectName(QStringLiteral("imgBtn%1").arg(i));
        const Picture& normal = form.imgBtn[i];
        button->setGeometry(
            scale.rect(normal.left(), normal.top(), normal.width(), normal.height()));
        for (Picture* picture : {&form.imgBtn[i], &form.imgBtnO[i], &form.imgBtnC[i]}) {
            QPointer<PictureButtonWidget> guard(button);
            picture->setListener([guard](const ControlChange&) {
                if (guard) {
                    guard->update();
                }
            });
        }
        button->onLeave = [this, guard = QPointer<QWidget>(central)] {
            if (guard) {
                forwardBackgroundMove(guard);
            }
        };
        button->show();
    }
    // Moves over the frame count as moves over the window's background.
    if (QWidget* frame = view_->widget(form.Frame1)) {
        frame->setMouseTracking(true);
        frame->installEventFilter(this);
    }

    applySize();
    form.setListener([this](const ControlChange& change) {
        switch (change.what) {
            case Change::Visible:
                if (form_.visible()) {
                    applyWindowState();
                    show();
                } else {
                    hide();
                }
                break;
            case Change::WindowState:
                applyWindowState();
                break;
            case Change::Caption:
                setWindowTitle(toQ(form_.caption()));
                break;
            case Change::Geometry:
                applySize();
                break;
            case Change::Unloaded:
                hide();
                break;
            default:
                break;
        }
    });
}

QtMainWindow::~QtMainWindow() {
    form_.setListener(nullptr);
    for (int i = 0; i < frmMain::kPictureCount; ++i) {
        form_.imgBtn[i].setListener(nullptr);
        form_.imgBtnO[i].setListener(nullptr);
        form_.imgBtnC[i].setListener(nullptr);
    }
    for (Control* control : form_.controls()) {
        if (dynamic_cast<MenuItem*>(control) != nullptr) {
            control->setListener(nullptr);
        }
    }
}

void QtMainWindow::applySize() {
    const int below = scale_.px(std::max(0, form_.height() - kNonClientTwips));
    resize(scale_.px(form_.width()), menuBar()->sizeHint().height() + below);
}

void QtMainWindow::applyWindowState() {
    syncingState_ = true;
    Qt::WindowStates state = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (form_.windowState() == WindowState::Minimized) {
        state |= Qt::WindowMinimized;
    } else if (form_.windowState() == WindowState::Maximized) {
        state |= Qt::WindowMaximized;
    }
    setWindowState(state);
    syncingState_ = false;
}

void QtMainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !syncingState_) {
        const Qt::WindowStates state = windowState();
        form_.setWindowState(state & Qt::WindowMinimized   ? WindowState::Minimized
                             : state & Qt::WindowMaximized ? WindowState::Maximized
                                                           : WindowState::Normal);
    }
    QMainWindow::changeEvent(event);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    form_.requestClose();
}

void QtMainWindow::forwardMouseMove(QWidget* from, QMouseEvent* event) {
    const QPoint at = from->mapTo(centralWidget(), event->position().toPoint());
    int button = 0;
    if (event->buttons() & Qt::LeftButton)
        button |= 1;
    if (event->buttons() & Qt::RightButton)
        button |= 2;
    if (event->buttons() & Qt::MiddleButton)
        button |= 4;
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    form_.mouseMove(button, shift, scale_.twips(at.x()), scale_.twips(at.y()));
}

void QtMainWindow::forwardBackgroundMove(QWidget* client) {
    const QPoint at = client->mapFromGlobal(QCursor::pos());
    form_.mouseMove(0, 0, scale_.twips(at.x()), scale_.twips(at.y()));
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        forwardMouseMove(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tandu::qt
