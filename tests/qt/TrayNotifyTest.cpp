#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <vector>

#include "QtTray.h"

namespace tandu {
namespace {

// The tray's own click handler must have returned before the window acts on
// the click: "Restore" removes the icon, and removing it from inside its own
// mouse event crashed the program. A click left over from a tray that is gone
// is dropped.
TEST(TrayNotify, ClicksReachTheWindowAfterTheIconsOwnHandlerWhileItLasts) {
    std::vector<int> messages;
    auto tray = std::make_unique<qt::QtTray>();
    tray->onNotify = [&messages](int message) { messages.push_back(message); };
    emit tray->icon().activated(QSystemTrayIcon::Context);
    emit tray->icon().activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(messages.empty());
    QApplication::processEvents();
    EXPECT_EQ(messages,
              (std::vector<int>{qt::QtTray::kRightButtonDown, qt::QtTray::kLeftDoubleClick}));
    emit tray->icon().activated(QSystemTrayIcon::Context);
    tray.reset();
    QApplication::processEvents();
    EXPECT_EQ(messages.size(), 2u);
}

}  // namespace
}  // namespace tandu
