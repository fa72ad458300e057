#include "PictureWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "Artwork.h"
#include "Text.h"
#include "controls/Picture.h"

namespace tandu::qt {

PictureWidget::PictureWidget(Picture& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    setMouseTracking(true);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, Artwork::picture(toQ(picture_.image()), size(), devicePixelRatioF()));
}

void PictureWidget::mouseMoveEvent(QMouseEvent*) {
    picture_.mouseMove();
}
void PictureWidget::mousePressEvent(QMouseEvent*) {
    picture_.mouseDown();
}
void PictureWidget::mouseReleaseEvent(QMouseEvent*) {
    picture_.mouseUp();
    picture_.click();
}

}  // namespace tandu::qt
