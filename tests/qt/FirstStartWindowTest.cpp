#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>

#include "LiveWindow.h"

namespace tandu {
namespace {

using namespace test;

TEST(FirstStartWindow, PreferencesComeBeforeTheListAndInsistOnOK) {
    LiveWindow live;
    const std::string downloads = live.folder / "downloads";
    std::filesystem::create_directories(downloads);
    writeFile(live.definitionPath("old.zip"),
              "old.zip\r\nWaiting\r\nhttp://h/old.zip\r\n/tmp/\r\n4\r\n");
    const std::string settings = live.folder / "config.cfg";
    const QString firstTime =
        "Its the first time that you use this program. You must configure this settings.";

    live.driver.then("frmPreferences", [&](QWidget* dialog) {
        // Before anything else: the window is not up and the list not loaded.
        EXPECT_FALSE(live.window->isVisible());
        EXPECT_EQ(live.need<QTreeView>("lstDown")->model()->rowCount(), 0);
        EXPECT_EQ(dialog->windowTitle(), "Preferences");
        EXPECT_EQ(need<QComboBox>(dialog, "cboConnections")->currentText(), "4");
        EXPECT_EQ(need<QComboBox>(dialog, "cboBuffer")->currentText(), "512KB");
        EXPECT_EQ(need<QLineEdit>(dialog, "txtPath")->text(), "");

        click(need<QPushButton>(dialog, "cmbCancel"));
        ASSERT_EQ(live.driver.boxes.size(), 1u);
        EXPECT_EQ(live.driver.boxes[0].text, firstTime);
        EXPECT_EQ(live.driver.boxes[0].title, "Preferences");
        EXPECT_EQ(live.driver.boxes[0].icon, QMessageBox::Information);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(fileExists(settings));
    });
    live.driver.then("frmPreferences", [&](QWidget* dialog) {
        // Escape is Cancel, refused the same way.
        QTest::keyClick(dialog, Qt::Key_Escape);
        ASSERT_EQ(live.driver.boxes.size(), 2u);
        EXPECT_EQ(live.driver.boxes[1].text, firstTime);
        EXPECT_TRUE(dialog->isVisible());

        typeInto(need<QComboBox>(dialog, "cboConnections"), "3");
        typeInto(need<QComboBox>(dialog, "cboBuffer"), "256KB");
        // The folder comes from the picker.
        click(need<QPushButton>(dialog, "cmbPath"));
        EXPECT_EQ(need<QLineEdit>(dialog, "txtPath")->text().toStdString(), downloads);
        click(need<QPushButton>(dialog, "cmbOK"));
    });
    live.driver.then("QFileDialog", [&](QWidget* window) {
        auto* picker = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->windowTitle(), "Select the destination directory");
        EXPECT_EQ(picker->fileMode(), QFileDialog::Directory);
        need<QLineEdit>(picker, "fileNameEdit")->setText(QString::fromStdString(downloads));
        click(need<QDialogButtonBox>(picker, "buttonBox")->button(QDialogButtonBox::Open));
    });
    live.open();

    EXPECT_EQ(live.driver.pending(), 0);
    EXPECT_EQ(live.driver.boxes.size(), 2u);
    EXPECT_EQ(readFile(settings), "1.0\r\n3\r\n" + downloads + "\r\n256KB\r\n");
    auto* list = live.need<QTreeView>("lstDown");
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(cellText(list, 0, 0), "old.zip");
    EXPECT_TRUE(live.window->isVisible());
}

}  // namespace
}  // namespace tandu
