#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>

#include "LiveWindow.h"
#include "ShownList.h"

namespace tandu {
namespace {

using namespace test;

TEST(AddUrlWindow, TheMenuAndPictureButtonZeroAddADownload) {
    LiveWindow live;
    const std::string byDefault = live.folder / "default";
    const std::string chosen = live.folder / "chosen";
    std::filesystem::create_directories(byDefault);
    std::filesystem::create_directories(chosen);
    live.writeSettings("1.0\r\n4\r\n" + byDefault + "\r\n512KB\r\n");
    live.open();
    auto* list = live.need<QTreeView>("lstDown");
    ShownList rows(list);

    live.driver.then("frmURL", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Add URL to Download");
        auto* useDefault = need<QCheckBox>(dialog, "chkDefault");
        EXPECT_TRUE(useDefault->isEnabled());
        EXPECT_TRUE(useDefault->isChecked());
        EXPECT_FALSE(need<QLineEdit>(dialog, "txtSave")->isEnabled());
        // An empty link is refused and the dialog stays.
        click(need<QPushButton>(dialog, "cmbOK"));
        ASSERT_EQ(live.driver.boxes.size(), 1u);
        EXPECT_EQ(live.driver.boxes[0].text, "Please set a valid URL.");
        EXPECT_EQ(live.driver.boxes[0].title, "Invalid URL");
        EXPECT_EQ(live.driver.boxes[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(dialog->isVisible());

        typeInto(need<QLineEdit>(dialog, "txtLink"), "http://127.0.0.1/a.bin ");
        typeInto(need<QComboBox>(dialog, "cboConnections"), "3");
        click(need<QPushButton>(dialog, "cmbOK"));
    });
    live.action("menURL")->trigger();
    EXPECT_EQ(readFile(live.definitionPath("a.bin")),
              "a.bin\r\nWaiting\r\nhttp://127.0.0.1/a.bin \r\n" + byDefault + "/\r\n3\r\n");
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(rows.cell(0, 0), "a.bin");
    EXPECT_EQ(rows.cell(0, 2), "Waiting");

    live.driver.then("frmURL", [&](QWidget* dialog) {
        auto* useDefault = need<QCheckBox>(dialog, "chkDefault");
        click(useDefault);
        EXPECT_FALSE(useDefault->isChecked());
        auto* saveTo = need<QLineEdit>(dialog, "txtSave");
        EXPECT_TRUE(saveTo->isEnabled());
        typeInto(saveTo, QString::fromStdString(chosen));
        auto* link = need<QLineEdit>(dialog, "txtLink");
        typeInto(link, "http://127.0.0.1/dir/b.iso");
        // Enter is OK.
        QTest::keyClick(link, Qt::Key_Return);
    });
    click(live.need<QWidget>("imgBtn0"));
    EXPECT_EQ(live.driver.pending(), 0);
    EXPECT_EQ(readFile(live.definitionPath("b.iso")),
              "b.iso\r\nWaiting\r\nhttp://127.0.0.1/dir/b.iso\r\n" + chosen + "/\r\n4\r\n");
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(rows.cell(1, 0), "b.iso");
    EXPECT_EQ(rows.cell(1, 2), "Waiting");

    // Cancel writes nothing.
    live.driver.then("frmURL", [&](QWidget* dialog) {
        typeInto(need<QLineEdit>(dialog, "txtLink"), "http://127.0.0.1/c.bin");
        click(need<QPushButton>(dialog, "cmbCancel"));
    });
    live.action("menURL")->trigger();
    EXPECT_FALSE(fileExists(live.definitionPath("c.bin")));
    EXPECT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(live.driver.boxes.size(), 1u);
}

TEST(AddUrlWindow, ALinkHandedOverArrivesInTheDialog) {
    LiveWindow live;
    live.writeSettings("1.0\r\n4\r\n\r\n512KB\r\n");
    // Started by the browser: the dialog opens after the list, with the link.
    live.driver.then("frmURL", [&](QWidget* dialog) {
        EXPECT_TRUE(live.window->isVisible());
        EXPECT_EQ(need<QLineEdit>(dialog, "txtLink")->text(), "http://h/first.zip");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    live.open("\"-url http://h/first.zip\"");
    EXPECT_EQ(live.driver.pending(), 0);

    // A later start hands its link over while the window is in the tray:
    // the window comes back with Add URL open on the link.
    live.action("menTray")->trigger();
    ASSERT_FALSE(live.window->isVisible());
    ASSERT_TRUE(live.instance.handler);
    live.driver.then("frmURL", [&](QWidget* dialog) {
        EXPECT_TRUE(live.window->isVisible());
        EXPECT_EQ(need<QLineEdit>(dialog, "txtLink")->text(), "http://h/second.zip");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    live.instance.handler(std::string("http://h/second.zip"));
    EXPECT_FALSE(live.tray.shown);
    EXPECT_EQ(live.driver.pending(), 0);
    EXPECT_TRUE(live.driver.boxes.empty());
}

}  // namespace
}  // namespace tandu
