#include <gtest/gtest.h>

#include "services/AddService.h"
#include "storage/DefinitionFile.h"

#include <filesystem>

#include "LiveWindow.h"

namespace tandu {
namespace {

// Rows that go away must not hand the view's choice of a neighbour to the
// list: a second "Cancel Download" would then remove a download nobody chose.
TEST(ListRemoval, CancellingOrClearingRowsChoosesNoOtherRow) {
    test::LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    for (const char* name : {"a.zip", "b.zip", "c.zip", "d.zip"}) {
        DefinitionFile::writeForm1(live.definitionPath(name), name, "http://h/x", "/tmp/", "4");
    }
    live.open();
    frmMain& main = live.form();
    auto* list = live.need<QTreeView>("lstDown");
    const auto noneChosen = [&] {
        return main.lstDown.selectedIndex() == -1 && !list->selectionModel()->hasSelection();
    };
    ASSERT_EQ(list->model()->rowCount(), 4);
    for (int row : {0, 1}) {
        test::chooseRow(list, row);
        const std::string chosen = main.lstDown.text(row);
        main.cmbCancel.click();
        QApplication::processEvents();
        EXPECT_FALSE(std::filesystem::exists(live.definitionPath(chosen))) << chosen;
        EXPECT_TRUE(noneChosen()) << "after cancelling " << chosen;
        // Pressed again, it finds nothing chosen and removes nothing.
        main.cmbCancel.click();
        QApplication::processEvents();
        EXPECT_EQ(main.lstDown.rowCount(), 3 - row);
    }
    // Clearing the completed rows, the chosen one among them, chooses none of the rest.
    for (const char* name : {"e", "f"}) {
        DefinitionFile::writeForm1(live.definitionPath(name), name, "http://h/x", "/tmp/", "1");
        main.downloads().add(live.definitionPath(name)).setRowState(DownloadState::Completed, "");
    }
    test::chooseRow(list, 2);
    main.cmbClear.setEnabled(true);
    main.cmbClear.click();
    QApplication::processEvents();
    ASSERT_EQ(main.lstDown.rowCount(), 2);
    EXPECT_TRUE(noneChosen());
}

// Rows come back after a restart in the order they were added, neither by
// name nor as the folder lists them; definitions no order names (written by
// older builds) follow, by name.
TEST(ListOrder, TwentyAddedComeBackInTheirOrderAfterARestart) {
    test::LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    for (const char* name : {"old-b.zip", "old-a.zip"}) {
        DefinitionFile::writeForm1(live.definitionPath(name), name, "http://h/x", "/tmp/", "4");
    }
    live.open();
    std::vector<std::string> added;
    std::string list;
    for (int i = 0; i < 20; ++i) {
        added.push_back("n" + std::to_string(i * 7 % 20) + ".bin");
        list += "http://h/" + added.back() + "\n";
    }
    ASSERT_FALSE(AddService(live.form().app().application()).addList(list, "/tmp/", "4").message);
    live.close();
    live.open();
    auto* view = live.need<QTreeView>("lstDown");
    std::vector<std::string> shown;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        shown.push_back(view->model()->index(row, 0).data().toString().toStdString());
    }
    added.insert(added.end(), {"old-a.zip", "old-b.zip"});
    EXPECT_EQ(shown, added);
}

}  // namespace
}  // namespace tandu
