#include "NoSavedState.h"

#include <QSettings>

namespace tandu::qt {

void keepNoSavedState() {
    // A folder that can never be made: reading finds nothing, writing fails quietly.
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

}  // namespace tandu::qt
