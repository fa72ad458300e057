#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>

#include "WindowFixture.h"

namespace tandu {
namespace {

// Every caption of the main window is read whole, with a little room before
// the next (its value), and the list's columns hold the longest text they show.
TEST(TextFit, MainWindowCaptionsAndColumnsHoldTheirTexts) {
    test::WindowFixture fixture;
    auto& window = fixture.open();
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap()) {
            continue;
        }
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()) + 4, label->width())
            << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\"";
    }
    auto* list = fixture.find<QTreeView>("lstDown");
    ASSERT_NE(list, nullptr);
    const int margin =
        2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 4;
    const struct {
        int column;
        const char* widest;
    } cells[] = {{1, "8,888KB/s"}, {2, "Downloading"}, {3, "888,888/888,888KB"}, {4, "88:88:88"}};
    for (const auto& cell : cells) {
        EXPECT_LE(list->fontMetrics().horizontalAdvance(QString::fromLatin1(cell.widest)) + margin,
                  list->columnWidth(cell.column))
            << cell.widest;
    }
}

}  // namespace
}  // namespace tandu
