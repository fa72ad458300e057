#include "TwipsScale.h"

#include <QGuiApplication>
#include <QScreen>

namespace tandu::qt {

TwipsScale TwipsScale::forScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsScale(screen ? screen->logicalDotsPerInchX() : 96.0);
}

}  // namespace tandu::qt
