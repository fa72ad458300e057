#include <gtest/gtest.h>

#include <filesystem>

#include "DialogScripts.h"
#include "dialogs/frmList.h"

namespace tandu {
namespace {

using test::form1;
using test::rowTexts;

void withListDialog(test::TestProgram& program, std::function<void(frmList&)> script) {
    test::openDialog<frmList>(program, &frmMain::menList_Click, std::move(script));
}

TEST(ListDialog, PastedListAddsEachNonBlankLineAsTypedInOrder) {
    test::TestProgram program;
    program.load();  // no settings: the default box starts enabled and unchecked
    const std::string folder = program.folder.path();
    const std::string list = "http://h/one.zip\n\n  http://h/two.zip  \r\nhttp://h/three.zip\n";
    withListDialog(program, [&](frmList& dialog) {
        dialog.txtList.setText(list);
        dialog.txtSave.setText(folder);
        dialog.cboConnections.setText("2");
        dialog.cmbOK.click();
        EXPECT_TRUE(dialog.unloaded());
    });
    EXPECT_EQ(rowTexts(program.main->lstDown),
              (std::vector<std::string>{"one.zip", "two.zip", "three.zip"}));
    const std::string defs = program.folder.definitions();
    EXPECT_EQ(test::readFile(defs + "two.zip.def"),
              form1("two.zip", "  http://h/two.zip  ", folder + "/", "2"));
    EXPECT_EQ(test::readFile(defs + "three.zip.def"),
              form1("three.zip", "http://h/three.zip", folder + "/", "2"));
    // The copy keeps the list's lines, each ended by CR LF, and one more line break.
    EXPECT_EQ(test::readFile(program.folder / "tempdata.dat"),
              "http://h/one.zip\r\n\r\n  http://h/two.zip  \r\nhttp://h/three.zip\r\n\r\n");
    EXPECT_TRUE(program.host.ui.messages.empty());
}

// An unreadable file, an empty list or lines with control characters keep
// the dialog open; those lines are named and kept, the rest added.
TEST(ListDialog, UnreadableFileEmptyListOrBadLinesKeepTheDialogOpen) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    program.host.ui.openAnswers = {program.folder / "missing.txt"};
    const auto& messages = program.host.ui.messages;
    withListDialog(program, [&](frmList& dialog) {
        dialog.cmbFile.click();
        EXPECT_EQ(dialog.txtList.text(), "");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].text.find("missing.txt"), std::string::npos);
        dialog.cmbOK.click();
        EXPECT_FALSE(dialog.unloaded());
        EXPECT_EQ(messages.at(1).text, "Please set a valid URL.");
        EXPECT_FALSE(test::fileExists(program.folder / "tempdata.dat"));

        const std::string nul(1, '\0');
        dialog.txtList.setText("http://h/a.zip\n\thttp://h/tab.zip\nhttp://h/b.zip\nhttp://h/n" +
                               nul + "ul.zip\n");
        dialog.cmbOK.click();
        EXPECT_FALSE(dialog.unloaded());
        EXPECT_EQ(dialog.txtList.text(), "\thttp://h/tab.zip\r\nhttp://h/n" + nul + "ul.zip\r\n");
    });
    EXPECT_EQ(rowTexts(program.main->lstDown), (std::vector<std::string>{"a.zip", "b.zip"}));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages[2].text.starts_with("Please set a valid URL."));
    EXPECT_NE(messages[2].text.find(": 2, 4."), std::string::npos);
}

TEST(ListDialog, WindowKeepsPaintingAndASecondOkOrCloseIsIgnoredMeanwhile) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    std::string list;
    while (list.size() < 300 * 18) {
        list += "http://h/same.bin\n";
    }
    int nested = 0;
    withListDialog(program, [&](frmList& dialog) {
        program.host.ui.onPendingEvents = [&] {
            ++nested;
            EXPECT_TRUE(dialog.adding());
            dialog.cmbOK.click();
            dialog.cmbCancel.click();
            dialog.requestClose();
            EXPECT_FALSE(dialog.unloaded());
        };
        dialog.txtList.setText(list);
        dialog.cmbOK.click();
        EXPECT_TRUE(dialog.unloaded());
        EXPECT_TRUE(dialog.cmbOK.enabled());
    });
    program.host.ui.onPendingEvents = nullptr;
    EXPECT_GE(nested, 4);
    ASSERT_EQ(program.main->lstDown.rowCount(), 300);
    EXPECT_EQ(program.main->lstDown.text(299), "same (300).bin");
    int definitions = 0;
    for (const auto& entry : std::filesystem::directory_iterator(program.folder.definitions())) {
        definitions += entry.path().extension() == ".def";
    }
    EXPECT_EQ(definitions, 300);
}

TEST(ListDialog, WriteFailureMidwayKeepsTheRestForAnotherTry) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    std::string list;
    for (int i = 0; i < 100; ++i) {
        list += "http://h/f" + std::to_string(i) + ".bin\n";
    }
    const std::string defs = program.folder / "definitions";
    const std::string away = program.folder / "away";
    withListDialog(program, [&](frmList& dialog) {
        program.host.ui.onPendingEvents = [&] { std::filesystem::rename(defs, away); };
        dialog.txtList.setText(list);
        dialog.cmbOK.click();
        program.host.ui.onPendingEvents = nullptr;
        EXPECT_FALSE(dialog.unloaded());
        const int added = program.main->lstDown.rowCount();
        EXPECT_GT(added, 0);
        EXPECT_LT(added, 100);
        EXPECT_TRUE(
            dialog.txtList.text().starts_with("http://h/f" + std::to_string(added) + ".bin\r\n"));
        EXPECT_NE(program.host.ui.lastMessage().text.find(program.folder.definitions()),
                  std::string::npos);

        std::filesystem::rename(away, defs);
        dialog.cmbOK.click();
        EXPECT_TRUE(dialog.unloaded());
    });
    ASSERT_EQ(program.main->lstDown.rowCount(), 100);
    EXPECT_EQ(program.main->lstDown.text(99), "f99.bin");
}

}  // namespace
}  // namespace tandu
