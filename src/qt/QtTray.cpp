#include "QtTray.h"

#include "Artwork.h"
#include "Text.h"

namespace tandu::qt {

QtTray::QtTray() {
    icon_.setIcon(Artwork::appIcon());
    icon_.setObjectName(QStringLiteral("trayIcon"));
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                int message = 0;
                switch (reason) {
                    case QSystemTrayIcon::DoubleClick:
                        message = kLeftDoubleClick;
                        break;
                    case QSystemTrayIcon::Context:
                        message = kRightButtonDown;
                        break;
                    case QSystemTrayIcon::Trigger:
                        message = kLeftButtonUp;
                        break;
                    default:
                        return;
                }
                // Later, once the icon's own mouse handler has returned:
                // "Restore" removes the icon, which must not happen inside it.
                QMetaObject::invokeMethod(
                    this,
                    [this, message] {
                        if (onNotify) {
                            onNotify(message);
                        }
                    },
                    Qt::QueuedConnection);
            });
}

void QtTray::showMessage(const UserMessage& message) {
    if (!icon_.isVisible()) {
        return;
    }
    const auto icon = message.icon == MsgIcon::Critical      ? QSystemTrayIcon::Critical
                      : message.icon == MsgIcon::Exclamation ? QSystemTrayIcon::Warning
                                                             : QSystemTrayIcon::Information;
    icon_.showMessage(toQ(message.title), toQ(message.text), icon);
}

bool QtTray::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTray::apply(TrayOperation operation, const TrayRecord& record) {
    switch (operation) {
        case TrayOperation::Add:
            icon_.setToolTip(toQ(record.shownTip()));
            icon_.show();
            return icon_.isVisible();
        case TrayOperation::Modify:
            if (!icon_.isVisible()) {
                return false;
            }
            icon_.setToolTip(toQ(record.shownTip()));
            return true;
        case TrayOperation::Delete:
            icon_.hide();
            return true;
    }
    return false;
}

}  // namespace tandu::qt
