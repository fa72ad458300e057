#pragma once

#include <QWidget>
#include <functional>

namespace tandu {
class Picture;
}

namespace tandu::qt {

// One skinned button of the main window: the normal, hover and pressed
// pictures of one index stacked in one place. It paints whichever of the three
// is visible and routes the mouse as the stacked pictures would receive it;
// the release goes to the picture that took the press.
class PictureButtonWidget : public QWidget {
    Q_OBJECT
public:
    PictureButtonWidget(Picture& normal, Picture& hover, Picture& pressed, QWidget* parent);

    // The pointer left the button for somewhere else: the window treats it as
    // a move over its background, which puts every button back to normal.
    std::function<void()> onLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const Picture* shown() const;
    bool pointerInside() const;
    void left();

    Picture& normal_;
    Picture& hover_;
    Picture& pressed_;
    bool pressedOnHover_ = false;
    bool runningCommand_ = false;
};

}  // namespace tandu::qt
