#include <gtest/gtest.h>

#include <QMenu>

#include "LiveWindow.h"

namespace tandu {
namespace {

using namespace test;

// A click on the pop-up menu's item with this caption.
void choose(QWidget* popup, const QString& caption) {
    auto* menu = qobject_cast<QMenu*>(popup);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(itemsOf(menu), (QStringList{"Restore", "Exit"}));
    for (QAction* action : menu->actions()) {
        if (action->text() == caption) {
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                              menu->actionGeometry(action).center());
            return;
        }
    }
    ADD_FAILURE() << "no item " << caption.toStdString();
}

TEST(TrayWindow, SendToTrayAndBackByThePopUpMenuAndADoubleClick) {
    constexpr int kDoubleClick = 515;
    constexpr int kRightButton = 516;
    LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    live.open();
    QAction* toTray = live.action("menTray");

    // Without a notification area the window stays, and says why.
    live.tray.hasTray = false;
    toTray->trigger();
    EXPECT_TRUE(live.window->isVisible());
    ASSERT_EQ(live.driver.boxes.size(), 1u);
    EXPECT_EQ(live.driver.boxes[0].title, "Send to Tray");
    live.tray.hasTray = true;

    toTray->trigger();
    EXPECT_FALSE(live.window->isVisible());
    EXPECT_TRUE(live.tray.shown);
    EXPECT_EQ(live.tray.tip, "Idle");
    live.driver.then("menPop", [](QWidget* popup) { choose(popup, "Restore"); });
    live.trayNotify(kRightButton);
    EXPECT_TRUE(live.window->isVisible());
    EXPECT_FALSE(live.tray.shown);

    toTray->trigger();
    live.trayNotify(kDoubleClick);
    EXPECT_TRUE(live.window->isVisible());
    EXPECT_FALSE(live.tray.shown);

    toTray->trigger();
    live.driver.then("menPop", [](QWidget* popup) { choose(popup, "Exit"); });
    live.trayNotify(kRightButton);
    EXPECT_EQ(live.ui.endProgramCalls, 1);
    EXPECT_FALSE(live.tray.shown);
    EXPECT_FALSE(live.window->isVisible());
    EXPECT_EQ(live.driver.pending(), 0);
    EXPECT_EQ(live.driver.boxes.size(), 1u);
}

}  // namespace
}  // namespace tandu
