#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tandu::qt {

// The program's own pictures, drawn by code at the screen's pixel density.
class Artwork {
public:
    // A picture by its name at a logical size: "normal0", "hover3", "pressed4", ... are
    // the skinned buttons; any other name shows the program's mark (the About box).
    static QPixmap picture(const QString& name, const QSize& size, qreal devicePixelRatio);
    // The window and tray icon.
    static QIcon appIcon();
};

}  // namespace tandu::qt
