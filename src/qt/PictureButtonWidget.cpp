#include "PictureButtonWidget.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "Artwork.h"
#include "Text.h"
#include "controls/Picture.h"

namespace tandu::qt {

PictureButtonWidget::PictureButtonWidget(Picture& normal, Picture& hover, Picture& pressed,
                                         QWidget* parent)
    : QWidget(parent), normal_(normal), hover_(hover), pressed_(pressed) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

const Picture* PictureButtonWidget::shown() const {
    // The pressed and hover pictures lie over the normal one.
    if (pressed_.visible()) {
        return &pressed_;
    }
    if (hover_.visible()) {
        return &hover_;
    }
    return normal_.visible() ? &normal_ : nullptr;
}

bool PictureButtonWidget::pointerInside() const {
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void PictureButtonWidget::paintEvent(QPaintEvent*) {
    if (const Picture* picture = shown()) {
        QPainter painter(this);
        painter.drawPixmap(0, 0,
                           Artwork::picture(toQ(picture->image()), size(), devicePixelRatioF()));
    }
}

void PictureButtonWidget::mouseMoveEvent(QMouseEvent*) {
    if (shown() == &normal_) {
        normal_.mouseMove();
    }
}

void PictureButtonWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (shown() == &normal_) {
        normal_.mouseMove();  // a press without a move first still lands on the hover picture
    }
    if (shown() == &hover_) {
        pressedOnHover_ = true;
        hover_.mouseDown();
    }
}

void PictureButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedOnHover_) {
        return;
    }
    pressedOnHover_ = false;
    QPointer<PictureButtonWidget> alive(this);
    runningCommand_ = true;
    hover_.mouseUp();  // may open a modal dialog, or end the program
    if (!alive) {
        return;
    }
    runningCommand_ = false;
    // The pointer may have gone while the command ran: no leave event tells.
    if (!pointerInside()) {
        left();
    }
}

void PictureButtonWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    left();
}

void PictureButtonWidget::left() {
    // While a modal dialog is up (this button's or another's) the look stays.
    if (runningCommand_ || pressedOnHover_ || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    if (onLeave) {
        onLeave();
    }
}

}  // namespace tandu::qt
