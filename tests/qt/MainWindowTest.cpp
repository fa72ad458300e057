#include <gtest/gtest.h>

#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "WindowFixture.h"

namespace tandu {
namespace {

TEST(MainWindow, StartsInTheIdleLayoutWithEveryMenu) {
    test::WindowFixture fixture;
    auto& window = fixture.open();
    EXPECT_TRUE(window.isVisible());
    // Idle: tabs and pages hidden, the four buttons disabled at the idle height.
    for (const char* name : {"Tabs", "pb", "fraGen", "lstPieces", "pbBuffer", "fraBuf"}) {
        QWidget* widget = fixture.find<QWidget>(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_FALSE(widget->isVisible()) << name;
    }
    const QStringList captions = {"Download", "Pause Download", "Cancel Download",
                                  "Clear Completed"};
    const char* names[] = {"cmbDownSel", "cmbPause", "cmbCancel", "cmbClear"};
    for (int i = 0; i < 4; ++i) {
        auto* button = fixture.find<QPushButton>(names[i]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), captions[i]);
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(button->y(), 4140 / 15);
    }
    EXPECT_EQ(fixture.find<QWidget>("lstDown")->height(), 3700 / 15 + 1);  // 246.67 px rounds up
    EXPECT_EQ(fixture.find<QGroupBox>("Frame1")->title(), "Downloads");

    QStringList bar;
    for (QAction* action : window.menuBar()->actions()) {
        bar << action->text();
    }
    EXPECT_EQ(bar, (QStringList{"File", "Downloads", "Options", "Send to Tray", "Help"}));
    const auto items = [&](const char* menu) {
        QStringList texts;
        for (QAction* action : fixture.find<QMenu>(menu)->actions()) {
            texts << (action->isSeparator() ? "-" : action->text());
        }
        return texts;
    };
    EXPECT_EQ(items("menFile"),
              (QStringList{"Download URL...", "Download Numeric Sequence...",
                           "Download URL List...", "-", "Export List...", "-", "Exit"}));
    EXPECT_EQ(items("menOptions"),
              (QStringList{"Preferences...", "-", "Shutdown when finished", "Check URL..."}));
}

}  // namespace
}  // namespace tandu
