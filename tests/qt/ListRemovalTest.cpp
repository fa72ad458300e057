#include <gtest/gtest.h>

#include "catalogue/DefinitionFile.h"

#include <filesystem>

#include "LiveWindow.h"

namespace tandu {
namespace {

// Rows that go away must not hand the view's choice of a neighbour to the
// list: a second "Cancel Download" would then remove a download nobody chose.
TEST(ListRemoval, CancellingARowChoosesNoOtherRow) {
    test::LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    const std::string defs = live.folder.definitions();
    for (const char* name : {"a.zip", "b.zip", "c.zip", "d.zip"}) {
        test::writeFile(defs + name + ".def",
                        std::string(name) + "\r\nWaiting\r\nhttp://h/x\r\n/tmp/\r\n4\r\n");
    }
    live.open();
    frmMain& main = live.form();
    auto* list = live.need<QTreeView>("lstDown");
    ASSERT_EQ(list->model()->rowCount(), 4);
    for (int row : {0, 1}) {
        test::chooseRow(list, row);
        const std::string chosen = main.lstDown.text(row);
        ASSERT_EQ(main.lstDown.selectedIndex(), row);
        main.cmbCancel.click();
        QApplication::processEvents();
        EXPECT_FALSE(std::filesystem::exists(defs + chosen + ".def")) << chosen;
        EXPECT_EQ(main.lstDown.selectedIndex(), -1) << "after cancelling " << chosen;
        EXPECT_FALSE(list->selectionModel()->hasSelection()) << "after cancelling " << chosen;
        // Pressed again, it finds nothing chosen and removes nothing.
        const int rows = main.lstDown.rowCount();
        main.cmbCancel.click();
        QApplication::processEvents();
        EXPECT_EQ(main.lstDown.rowCount(), rows);
    }
    EXPECT_EQ(main.lstDown.rowCount(), 2);
}

TEST(ListRemoval, ClearingCompletedRowsKeepsTheChosenRowOnly) {
    test::LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    live.open();
    frmMain& main = live.form();
    for (const char* name : {"a", "b", "c"}) {
        const std::string path = live.definitionPath(name);
        DefinitionFile::writeForm1(path, name, "http://h/x", "/tmp/", "1");
        main.downloads().add(path).setRowState(
            std::string(name) == "b" ? DownloadState::Paused : DownloadState::Completed, "");
    }
    auto* list = live.need<QTreeView>("lstDown");
    test::chooseRow(list, 0);
    ASSERT_EQ(main.lstDown.selectedIndex(), 0);
    main.cmbClear.setEnabled(true);
    main.cmbClear.click();
    QApplication::processEvents();
    ASSERT_EQ(main.lstDown.rowCount(), 1);
    EXPECT_EQ(main.lstDown.selectedIndex(), -1);
    EXPECT_FALSE(list->selectionModel()->hasSelection());
}

}  // namespace
}  // namespace tandu
