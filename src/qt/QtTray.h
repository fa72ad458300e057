#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

#include "platform/TrayIcon.h"

namespace tandu::qt {

// The tray icon on QSystemTrayIcon. Clicks on it come back as the mouse
// message numbers the window's handler expects (515 double-click, 516 right button).
class QtTray : public QObject, public TrayIcon {
    Q_OBJECT
public:
    static constexpr int kLeftButtonUp = 514;
    static constexpr int kLeftDoubleClick = 515;
    static constexpr int kRightButtonDown = 516;

    QtTray();
    bool available() const override;
    bool apply(TrayOperation operation, const TrayRecord& record) override;
    void showMessage(const UserMessage& message) override;

    std::function<void(int message)> onNotify;
    QSystemTrayIcon& icon() { return icon_; }

private:
    QSystemTrayIcon icon_;
};

}  // namespace tandu::qt
