#include <gtest/gtest.h>

#include <filesystem>

#include "TestProgram.h"
#include "dialogs/frmURL.h"
#include "services/Application.h"
#include "window/HandedAddress.h"

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

TEST(SingleInstance, EveryHandedLinkOpensItsOwnAddUrlInTurnWithItsNameAndSession) {
    test::TempFolder folder;
    test::HeadlessPlatform host;
    const std::string downloads = folder / "dl/";
    std::filesystem::create_directory(downloads);
    test::writeFile(folder / "config.cfg", "1.0\r\n4\r\n" + downloads + "\r\n512KB\r\n");
    std::filesystem::create_directory(folder / "definitions");
    modMain app(host.platform, folder.path(), "");
    ASSERT_TRUE(app.Main());
    ASSERT_TRUE(host.instance.handler);
    app.mainWindow()->setWindowState(WindowState::Minimized);
    const auto link = [](int n) { return "http://host/" + std::to_string(n) + ".zip"; };
    std::vector<std::string> shown;
    // Three links while the user's own Add URL is open: each waits, none is lost.
    host.ui.modalScripts.push_back([&](Form&) {
        host.instance.handler(R"({"url":"http://host/1.zip","referrer":"http://host/page",)"
                              R"("cookies":"sid=s3cret","filename":"Report 1.pdf"})");
        host.instance.handler(R"({"url":"http://host/2.zip","cookies":"sid=other"})");
        host.instance.handler(R"({"url":"http://host/3.zip"})");
        host.instance.handler(R"({"url":"javascript:x"})");
    });
    for (int n = 1; n <= 3; ++n) {
        host.ui.modalScripts.push_back([&, n](Form& form) {
            auto& dialog = static_cast<frmURL&>(form);
            shown.push_back(dialog.txtLink.text());
            if (n == 2) {
                dialog.txtLink.setText("http://host/changed.zip");  // its session stays behind
            }
            dialog.cmbOK.click();
        });
    }
    app.mainWindow()->menURL_Click();
    EXPECT_EQ(app.mainWindow()->handed().waiting(), 3u);
    EXPECT_TRUE(app.mainWindow()->tmrHanded.enabled());
    app.mainWindow()->tmrHanded.tick();
    EXPECT_EQ(shown, (std::vector<std::string>{link(1), link(2), link(3)}));
    EXPECT_FALSE(app.mainWindow()->tmrHanded.enabled());
    EXPECT_TRUE(host.ui.clipboardWrites.empty());  // a password never goes onto the clipboard
    EXPECT_EQ(app.mainWindow()->windowState(), WindowState::Normal);
    EXPECT_EQ(host.ui.activations, 4);
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_NE(host.ui.messages[0].text.find("Only http:// and https://"), std::string::npos);

    const std::string definitions = folder / "definitions/";
    EXPECT_EQ(test::readFile(definitions + "Report 1.pdf.def"),
              "Report 1.pdf\r\nWaiting\r\n" + link(1) + "\r\n" + downloads +
                  "\r\n4\r\n\r\n\r\n\r\nReferrer: http://host/page\r\n");
    EXPECT_EQ(test::readFile(definitions + "Report 1.pdf.cookies"), link(1) + "\r\nsid=s3cret\r\n");
    EXPECT_EQ(std::filesystem::status(definitions + "Report 1.pdf.cookies").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(std::filesystem::exists(definitions + "changed.zip.def"));
    EXPECT_FALSE(std::filesystem::exists(definitions + "changed.zip.cookies"));
    EXPECT_TRUE(std::filesystem::exists(definitions + "3.zip.def"));
    // Cancelling the download takes its cookies with it.
    EXPECT_TRUE(app.application().cancel(0).cancelled);
    EXPECT_FALSE(std::filesystem::exists(definitions + "Report 1.pdf.cookies"));
}

}  // namespace
}  // namespace tandu
