#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "../dialogs/DialogScripts.h"
#include "dialogs/frmPreferences.h"
#include "dialogs/frmURL.h"

namespace tandu {
namespace {

void withPreferences(test::TestProgram& program, std::function<void(frmPreferences&)> script) {
    test::openDialog<frmPreferences>(program, &frmMain::menPref_Click, std::move(script));
}

TEST(Preferences, CancelWritesNothingOkWritesTheBoxesAsTheyStand) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    EXPECT_TRUE(program.host.ui.modalForms.empty());
    withPreferences(program, [](frmPreferences& dialog) {
        dialog.cboConnections.setText("9");
        dialog.cmbCancel.click();
        EXPECT_TRUE(dialog.unloaded());
    });
    EXPECT_FALSE(program.app->FirstRun);
    EXPECT_EQ(test::readFile(program.folder / "config.cfg"), test::kDefaultSettings);
    // An empty folder passes the folder test and is stored as an empty line
    // (a folder and the other boxes: tandu-cli prefs in cli_add.sh).
    withPreferences(program, [&](frmPreferences& dialog) {
        dialog.cboConnections.setText("8");
        dialog.txtPath.setText("");
        dialog.cboBuffer.setText("1024KB");
        dialog.cmbOK.click();
        EXPECT_TRUE(dialog.unloaded());
    });
    EXPECT_EQ(test::readFile(program.folder / "config.cfg"), "1.0\r\n8\r\n\r\n1024KB\r\n");
    EXPECT_TRUE(program.host.ui.messages.empty());

    // "Start downloads as soon as they are added": what Add URL adds goes out at once.
    withPreferences(program, [](frmPreferences& dialog) {
        EXPECT_FALSE(dialog.chkStartAtOnce.checked());
        dialog.chkStartAtOnce.click();
        dialog.cmbOK.click();
    });
    EXPECT_EQ(test::readFile(program.folder / "config.cfg"),
              "1.0\r\n8\r\n\r\n1024KB\r\n1\r\nStartAtOnce=1\r\n");
    test::openDialog<frmURL>(program, &frmMain::menURL_Click, [](frmURL& dialog) {
        dialog.txtLink.setText("http://h.example/a.zip");
        dialog.cmbOK.click();
    });
    ASSERT_EQ(program.host.fetcher.count(), 1u);
    EXPECT_EQ(program.host.fetcher.fetch(0).request.url.text(), "http://h.example/a.zip");
    EXPECT_TRUE(program.main->downloads().at(0).running());
}

TEST(Preferences, InstallExtensionWritesTheHostManifestsThenStartsTheBrowserOrSaysWhyNot) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    const std::string home = program.folder / "home";
    program.host.environment.variables["HOME"] = home;
    const std::string firefox = program.folder / "firefox";
    const std::string chromium = program.folder / "chromium";
    test::writeFile(firefox, "");
    test::writeFile(chromium, "");
    const auto click = [&](std::deque<std::string> browsers) {
        const std::size_t clicks = browsers.size();
        program.host.ui.openAnswers = std::move(browsers);
        withPreferences(program, [&](frmPreferences& dialog) {
            for (std::size_t i = 0; i < clicks; ++i) {
                dialog.cmbExt.click();
            }
        });
    };
    const auto& messages = program.host.ui.messages;
    const auto& launches = program.host.launcher.launches;
    // Cancelled, no such browser, no package: nothing started or written.
    click({"", program.folder / "no-firefox", firefox});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].text.find("There is no browser program at"), std::string::npos);
    EXPECT_EQ(messages[0].title, "Error");
    EXPECT_EQ(messages[0].icon, MsgIcon::Critical);
    EXPECT_NE(messages[1].text.find("tanduxt.xpi is missing"), std::string::npos);
    EXPECT_TRUE(launches.empty());
    EXPECT_FALSE(std::filesystem::exists(home));

    std::filesystem::create_directories(program.folder / "tanduxt");
    const std::string package = program.folder / "tanduxt.xpi";
    const std::string host = program.folder / "tandu-host";
    for (const std::string& file : {package, host, program.folder / "tanduxt/manifest.json"}) {
        test::writeFile(file, "");
    }
    click({firefox, chromium});
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].program, firefox);
    EXPECT_EQ(launches[0].arguments, std::vector<std::string>{package});
    EXPECT_EQ(launches[0].commandLine, firefox + " \"" + package + "\"");
    EXPECT_TRUE(launches[1].arguments.empty());  // Chromium opens no chrome:// page it is given
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_NE(messages[2].text.find("about:debugging"), std::string::npos);
    EXPECT_NE(messages[3].text.find(program.folder / "tanduxt;"), std::string::npos);
    EXPECT_NE(messages[3].text.find("Type chrome://extensions"), std::string::npos);
    // The manifests name the host by its absolute path (all three: the install test).
    EXPECT_NE(test::readFile(home + "/.config/chromium/NativeMessagingHosts/org.tandu.host.json")
                  .find("\"path\": \"" + host + "\""),
              std::string::npos);

    // A browser that cannot be started is not reported as a success.
    program.host.launcher.result = false;
    click({firefox});
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[4].title, "Error");
    EXPECT_NE(messages[4].text.find(firefox), std::string::npos);
}

}  // namespace
}  // namespace tandu
