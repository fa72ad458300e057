#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "LiveWindow.h"

namespace tandu {
namespace {

using namespace test;

// Idle at start with every menu; every caption is read whole, with a little
// room before the next (its value), and the list's columns hold the longest
// text they show.
TEST(MainWindow, StartsIdleWithEveryMenuAndRoomForEveryText) {
    LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    live.open();
    for (const char* name : {"Tabs", "pb", "fraGen", "lstPieces", "pbBuffer", "fraBuf"}) {
        EXPECT_FALSE(live.need<QWidget>(name)->isVisible()) << name;
    }
    EXPECT_EQ(itemsOf(live.window->menuBar()),
              (QStringList{"File", "Downloads", "Options", "Send to Tray", "Help"}));
    EXPECT_EQ(itemsOf(live.need<QMenu>("menFile")),
              (QStringList{"Download URL...", "Download Numeric Sequence...",
                           "Download URL List...", "-", "Export List...", "-", "Exit"}));
    EXPECT_EQ(itemsOf(live.need<QMenu>("menOptions")),
              (QStringList{"Preferences...", "-", "Shutdown when finished", "Check URL..."}));
    for (QLabel* label : live.window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty() && !label->wordWrap()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()) + 4, label->width())
                << label->objectName().toStdString() << " " << label->text().toStdString();
        }
    }
    auto* list = live.need<QTreeView>("lstDown");
    const int margin =
        2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 4;
    const char* widest[] = {nullptr, "8,888KB/s", "Downloading", "888,888/888,888KB", "88:88:88"};
    for (int column = 1; column < 5; ++column) {
        EXPECT_LE(
            list->fontMetrics().horizontalAdvance(QString::fromLatin1(widest[column])) + margin,
            list->columnWidth(column))
            << widest[column];
    }
}

}  // namespace
}  // namespace tandu
