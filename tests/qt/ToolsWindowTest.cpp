#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>

#include "LiveWindow.h"
#include "ServedFiles.h"

namespace tandu {
namespace {

using namespace test;

constexpr const char* kSettings = "1.0\r\n4\r\n\r\n512KB\r\n";

QStringList itemsOf(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << (action->isSeparator() ? "-" : action->text());
    }
    return items;
}

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
    live.writeSettings(kSettings);
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
    EXPECT_FALSE(live.window->isVisible());
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

// Answers the Check URL prompt with `url`, or cancels it when empty.
ModalDriver::Action answerPrompt(const QString& url) {
    return [url](QWidget* window) {
        auto* prompt = qobject_cast<QInputDialog*>(window);
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->windowTitle(), "Check URL");
        EXPECT_EQ(prompt->labelText(), "Type the URL to verify");
        EXPECT_EQ(prompt->textValue(), "");
        if (url.isEmpty()) {
            QTest::keyClick(prompt, Qt::Key_Escape);
            return;
        }
        auto* box = prompt->findChild<QLineEdit*>();
        ASSERT_NE(box, nullptr);
        typeInto(box, url);
        QTest::keyClick(box, Qt::Key_Return);
    };
}

TEST(CheckUrlWindow, AsksTheServerAndShowsItsAnswer) {
    LoopbackServer server(servingFiles({{"f.bin", patterned(1234)}}));
    LiveWindow live(server.port());
    live.writeSettings(kSettings);
    live.open();
    std::size_t requestsWhileHostFound = 99;
    live.driver.onBox = [&](const BoxShown& box) {
        if (box.title == "Host Found") {
            requestsWhileHostFound = server.requests().size();
        }
    };

    live.driver.then("QInputDialog", answerPrompt("http://127.0.0.1/f.bin"));
    click(live.need<QWidget>("imgBtn4"));
    ASSERT_TRUE(waitFor([&] { return live.driver.boxes.size() == 2; }));
    const auto& found = live.driver.boxes[0];
    EXPECT_EQ(found.text, "Host found! Now checking if the file still exists");
    EXPECT_EQ(found.title, "Host Found");
    EXPECT_EQ(found.icon, QMessageBox::Information);
    EXPECT_EQ(requestsWhileHostFound, 0u);
    const auto& result = live.driver.boxes[1];
    // The box shows each CR LF of the message as one line break.
    EXPECT_EQ(result.text,
              "If the first line says 'OK', than the file exists.\n\n"
              "HTTP/1.1 200 OK\nContent-Length: 1234\n\n");
    EXPECT_EQ(result.title, "Result");
    EXPECT_EQ(result.icon, QMessageBox::Information);
    EXPECT_EQ(server.requests(),
              (std::vector<std::string>{"HEAD http://127.0.0.1/f.bin HTTP/1.0\r\n\r\n"}));

    // From the menu, a cancelled prompt names no host.
    live.driver.then("QInputDialog", answerPrompt(""));
    live.action("menCheck")->trigger();
    ASSERT_EQ(live.driver.boxes.size(), 3u);
    EXPECT_EQ(live.driver.boxes[2].text, "Invalid hostname entered.");
    EXPECT_EQ(live.driver.boxes[2].title, "Error");
    EXPECT_EQ(live.driver.boxes[2].icon, QMessageBox::Critical);
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(CheckUrlWindow, AHostThatRefusesShowsTheReason) {
    int closedPort = 0;
    {
        LoopbackServer gone(LoopbackServer::serving(""));
        closedPort = gone.port();
    }
    LiveWindow live(closedPort);
    live.writeSettings(kSettings);
    live.open();
    live.driver.then("QInputDialog", answerPrompt("http://127.0.0.1/f.bin"));
    live.action("menCheck")->trigger();
    ASSERT_TRUE(waitFor([&] { return live.driver.boxes.size() == 1; }));
    EXPECT_EQ(live.driver.boxes[0].title, "Error");
    EXPECT_EQ(live.driver.boxes[0].icon, QMessageBox::Information);
    EXPECT_TRUE(live.driver.boxes[0].text.contains("refused", Qt::CaseInsensitive))
        << live.driver.boxes[0].text.toStdString();

    // The failed socket does not stand in the way of the next check.
    live.driver.then("QInputDialog", answerPrompt("http://127.0.0.1/g.bin"));
    live.action("menCheck")->trigger();
    ASSERT_TRUE(waitFor([&] { return live.driver.boxes.size() == 2; }));
    EXPECT_EQ(live.driver.boxes[1].text, live.driver.boxes[0].text);
}

TEST(PictureButtonWindow, EachOpensItsDialogAndReturnsToItsNormalLook) {
    LiveWindow live;
    live.writeSettings(kSettings);
    live.open();
    const char* dialogs[] = {"frmURL", "frmSequence", "frmList", "frmPreferences"};
    for (int i = 0; i < 4; ++i) {
        live.driver.then(dialogs[i], [](QWidget* dialog) {
            // Escape is the dialog's Cancel.
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        click(live.need<QWidget>(QString("imgBtn%1").arg(i).toLatin1().constData()));
        EXPECT_EQ(live.driver.pending(), 0) << dialogs[i];
        for (int j = 0; j < frmMain::kPictureCount; ++j) {
            EXPECT_TRUE(live.form().imgBtn[j].visible()) << i << j;
            EXPECT_FALSE(live.form().imgBtnO[j].visible()) << i << j;
            EXPECT_FALSE(live.form().imgBtnC[j].visible()) << i << j;
        }
    }
    EXPECT_TRUE(live.driver.boxes.empty());
}

// Saves to `path` in the Save dialog.
ModalDriver::Action saveAs(const std::string& path) {
    return [path](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Text Files (*.TXT *.txt)"});
        // Set at once: typed keys would open the name completer's pop-up.
        need<QLineEdit>(dialog, "fileNameEdit")->setText(QString::fromStdString(path));
        click(need<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Save));
    };
}

TEST(ExportWindow, WritesEveryUrlAndReplacesAnExportingFile) {
    LiveWindow live;
    live.writeSettings(kSettings);
    const char* urls[] = {" http://h/a.zip", "http://h/b.zip  ", "http://h/c.zip"};
    for (const char* url : urls) {
        const std::string name = std::string(url).substr(std::string(url).find("h/") + 2, 5);
        writeFile(live.definitionPath(name), name + "\r\nWaiting\r\n" + url + "\r\n/tmp/\r\n4\r\n");
    }
    live.open();
    auto* list = live.need<QTreeView>("lstDown");
    ASSERT_EQ(list->model()->rowCount(), 3);
    // The export follows the folder's listing, as the list does.
    std::string expected;
    for (int row = 0; row < 3; ++row) {
        for (const char* url : urls) {
            if (std::string(url).find(cellText(list, row, 0).toStdString()) != std::string::npos) {
                expected += std::string(url) + "\r\n";
            }
        }
    }
    const std::string target = live.folder / "urls.txt";

    live.driver.then("QFileDialog", saveAs(target));
    live.action("menExport")->trigger();
    EXPECT_EQ(readFile(target), expected);
    EXPECT_TRUE(live.driver.boxes.empty());

    // Again over the same file, one download fewer: replaced, never appended.
    const std::string first = list->model()->index(0, 0).data().toString().toStdString();
    std::filesystem::remove(live.definitionPath(first));
    live.driver.then("QFileDialog", saveAs(target));
    live.action("menExport")->trigger();
    EXPECT_EQ(readFile(target), expected.substr(expected.find("\r\n") + 2));
    // Qt asked before replacing; nothing else was said.
    EXPECT_EQ(live.driver.boxes.size(), 1u);

    // A cancelled dialog writes nothing.
    std::filesystem::remove(target);
    live.driver.then("QFileDialog",
                     [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    live.action("menExport")->trigger();
    EXPECT_FALSE(fileExists(target));
    EXPECT_EQ(live.driver.pending(), 0);
}

}  // namespace
}  // namespace tandu
