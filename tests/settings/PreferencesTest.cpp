#include <gtest/gtest.h>

#include <filesystem>

#include "TestProgram.h"
#include "settings/frmPreferences.h"

namespace tandu {
namespace {

// Opens Preferences from the menu and runs the script inside it.
void withPreferences(test::TestProgram& program, std::function<void(frmPreferences&)> script) {
    program.host.ui.modalScripts.push_back(
        [script](Form& form) { script(static_cast<frmPreferences&>(form)); });
    program.main->menPref_Click();
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
    const std::string target = program.folder / "dl";
    std::filesystem::create_directory(target);
    withPreferences(program, [&](frmPreferences& dialog) {
        dialog.cboConnections.setText("8");
        dialog.txtPath.setText(target);
        dialog.cboBuffer.setText("1024KB");
        dialog.cmbOK.click();
        EXPECT_TRUE(dialog.unloaded());
    });
    EXPECT_EQ(test::readFile(program.folder / "config.cfg"),
              "1.0\r\n8\r\n" + target + "\r\n1024KB\r\n");

    // An empty folder passes the folder test and is stored as an empty line.
    withPreferences(program, [&](frmPreferences& dialog) {
        dialog.txtPath.setText("");
        dialog.cmbOK.click();
    });
    EXPECT_EQ(test::readFile(program.folder / "config.cfg"), "1.0\r\n8\r\n\r\n1024KB\r\n");
    EXPECT_TRUE(program.host.ui.messages.empty());
}

TEST(Preferences, FolderThatDoesNotExistIsRefusedAndNotLeftBehind) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    const std::string missing = program.folder / "not-yet";
    withPreferences(program, [&](frmPreferences& dialog) {
        dialog.txtPath.setText(missing);
        dialog.cmbOK.click();
        EXPECT_FALSE(dialog.unloaded());
        ASSERT_EQ(program.host.ui.messages.size(), 1u);
        EXPECT_EQ(program.host.ui.messages[0].text, "Destination folder is invalid.");
    });
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(test::readFile(program.folder / "config.cfg"), test::kDefaultSettings);
}

TEST(Preferences, InstallExtensionStartsTheBrowserWithThePackage) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    std::filesystem::create_directories(program.folder / "my browser");
    const std::string browser = program.folder / "my browser/firefox";
    test::writeFile(browser, "");
    program.host.ui.openAnswers = {browser};
    withPreferences(program, [](frmPreferences& dialog) { dialog.cmbExt.click(); });

    ASSERT_EQ(program.host.launcher.launches.size(), 1u);
    const LaunchRequest& launch = program.host.launcher.launches[0];
    const std::string package = program.folder.path() + "/tanduxt.xpi";
    EXPECT_EQ(launch.program, browser);
    EXPECT_EQ(launch.arguments, (std::vector<std::string>{"-install-global-extension", package}));
    EXPECT_TRUE(launch.minimizedWithFocus);
    ASSERT_EQ(program.host.ui.messages.size(), 1u);
    EXPECT_EQ(program.host.ui.messages[0].text,
              "Installation seems to be OK. Restart Firefox and configure the path to Qiv at the "
              "extension properties on Firefox");
}

TEST(Preferences, InstallExtensionStopsOnCancelMissingBrowserOrFailedStart) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    program.host.ui.openAnswers = {"", program.folder / "no-firefox"};
    withPreferences(program, [](frmPreferences& dialog) {
        dialog.cmbExt.click();
        dialog.cmbExt.click();
    });
    EXPECT_TRUE(program.host.launcher.launches.empty());
    ASSERT_EQ(program.host.ui.messages.size(), 1u);
    EXPECT_EQ(program.host.ui.messages[0].text, "Qiv could not find firefox.exe");

    // A browser that cannot be started is not reported as a success.
    const std::string browser = program.folder / "firefox";
    test::writeFile(browser, "");
    program.host.launcher.result = false;
    program.host.ui.openAnswers = {browser};
    withPreferences(program, [](frmPreferences& dialog) { dialog.cmbExt.click(); });
    ASSERT_EQ(program.host.ui.messages.size(), 2u);
    EXPECT_NE(program.host.ui.messages[1].text.find(browser), std::string::npos);
}

}  // namespace
}  // namespace tandu
