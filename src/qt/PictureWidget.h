#pragma once

#include <QWidget>

namespace tandu {
class Picture;
}

namespace tandu::qt {

// Paints a Picture control's artwork and passes the mouse to its handlers.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(Picture& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Picture& picture_;
};

}  // namespace tandu::qt
