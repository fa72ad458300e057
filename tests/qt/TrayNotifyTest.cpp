#include <gtest/gtest.h>

#include <QApplication>
#include <vector>

#include "QtTray.h"

namespace tandu {
namespace {

// The tray's own click handler must have returned before the window acts on
// the click: "Restore" removes the icon, and removing it from inside its own
// mouse event crashed the program.
TEST(TrayNotify, ClicksReachTheWindowAfterTheIconsOwnHandler) {
    qt::QtTray tray;
    std::vector<int> messages;
    tray.onNotify = [&messages](int message) { messages.push_back(message); };
    emit tray.icon().activated(QSystemTrayIcon::Context);
    emit tray.icon().activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(messages.empty());
    QApplication::processEvents();
    EXPECT_EQ(messages,
              (std::vector<int>{qt::QtTray::kRightButtonDown, qt::QtTray::kLeftDoubleClick}));
}

TEST(TrayNotify, AClickArrivingAfterTheTrayIsGoneIsDropped) {
    std::vector<int> messages;
    {
        qt::QtTray tray;
        tray.onNotify = [&messages](int message) { messages.push_back(message); };
        emit tray.icon().activated(QSystemTrayIcon::Context);
    }
    QApplication::processEvents();
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace tandu
