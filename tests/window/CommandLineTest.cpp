#include <gtest/gtest.h>

#include "TestProgram.h"
#include "dialogs/frmURL.h"

namespace tandu {
namespace {

TEST(CommandLine, ArgumentsWithBlanksAreQuoted) {
    EXPECT_EQ(modMain::commandLineFromArguments({"-url http://host/f.zip"}),
              "\"-url http://host/f.zip\"");
    EXPECT_EQ(modMain::commandLineFromArguments({"-url", "http://host/f.zip"}),
              "-url http://host/f.zip");
    EXPECT_EQ(modMain::commandLineFromArguments({}), "");
}

TEST(CommandLine, MarkerAtPositionTwoYieldsTheUrl) {
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url http://host/f.zip\""), "http://host/f.zip");
    // Without quotes the marker stands at position 1: no URL.
    EXPECT_FALSE(modMain::urlFromCommandLine("-url http://host/f.zip"));
    // Case-sensitive.
    EXPECT_FALSE(modMain::urlFromCommandLine("\"-URL http://host/f.zip\""));
    EXPECT_FALSE(modMain::urlFromCommandLine(""));
    // Too short to hold a URL: an empty one, never a crash.
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url\""), "");
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url \""), "");
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url x\""), "x");
}

TEST(SingleInstance, RunningInstanceTakesTheUrlOntoItsClipboardAndComesForward) {
    test::TempFolder folder;
    test::HeadlessPlatform host;
    test::writeFile(folder / "config.cfg", test::kDefaultSettings);
    modMain app(host.platform, folder.path(), "");
    ASSERT_TRUE(app.Main());
    ASSERT_TRUE(host.instance.handler);
    app.mainWindow()->setWindowState(WindowState::Minimized);
    // Add URL opens with the address; one handed over meanwhile only waits on the clipboard.
    host.ui.modalScripts.push_back([&](Form& form) {
        EXPECT_EQ(static_cast<frmURL&>(form).txtLink.text(), "http://host/file.zip");
        host.instance.handler(std::string("http://host/other.zip"));
    });
    host.instance.handler(std::string("http://host/file.zip"));
    EXPECT_EQ(host.ui.modalForms, std::vector<std::string>{"frmURL"});
    EXPECT_EQ(host.ui.clipboard, "http://host/other.zip");
    EXPECT_EQ(app.mainWindow()->windowState(), WindowState::Normal);
    EXPECT_TRUE(app.mainWindow()->visible());
    EXPECT_EQ(host.ui.activations, 2);
    host.instance.handler(std::nullopt);
    EXPECT_EQ(host.ui.clipboardWrites.size(), 2u);
    EXPECT_EQ(host.ui.activations, 3);
}

}  // namespace
}  // namespace tandu
