#include <gtest/gtest.h>

#include "TestProgram.h"
#include "window/TrayIconOps.h"

namespace tandu {
namespace {

TEST(TrayIcon, TooltipFieldIsCutAtItsSizeAndAHandOffBringsTheWindowBack) {
    test::TestProgram program;
    program.writeSettings();
    frmMain* form = &program.load();
    const auto tray = [&]() -> test::FakeTray& { return program.host.tray; };
    const auto ui = [&]() -> test::HeadlessUi& { return program.host.ui; };
    EXPECT_EQ(form->tray().record().tip, std::string("Idle") + '\0' + std::string(123, ' '));
    EXPECT_TRUE(tray().calls.empty());  // prepared at load, not shown
    EXPECT_EQ(TrayIconOps::tipField(std::string(200, 'a')), std::string(128, 'a'));
    EXPECT_EQ(TrayIconOps::tipField(std::string(127, 'b')), std::string(127, 'b') + '\0');
    EXPECT_EQ(TrayIconOps::tipField(std::string(128, 'c')), std::string(128, 'c'));
    form->tray().setTip(std::string(200, 'x'));
    EXPECT_EQ(form->tray().record().shownTip(), std::string(128, 'x'));

    // A hand-off brings the window back from the tray.
    form->menTray.click();
    form->receiveHandOff(std::nullopt);
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(tray().shown);
    EXPECT_EQ(ui().activations, 1);
    // Back from the tray, mouse moves at those columns are no tray messages.
    const std::size_t calls = tray().calls.size();
    for (int message : {516, 515}) {
        form->mouseMove(0, 0, message * 15.0, 0);  // 15 twips a pixel
    }
    EXPECT_TRUE(ui().popups.empty());
    EXPECT_EQ(tray().calls.size(), calls);
}

}  // namespace
}  // namespace tandu
