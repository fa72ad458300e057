#include <gtest/gtest.h>

#include "TestProgram.h"
#include "chrome/TrayIconOps.h"

namespace tandu {
namespace {

constexpr double kTwipsPerPixel = 15.0;

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.writeSettings();
        form = &program.load();
    }
    void trayMessage(int message) { form->mouseMove(0, 0, message * kTwipsPerPixel, 0); }
    test::FakeTray& tray() { return program.host.tray; }
    test::HeadlessUi& ui() { return program.host.ui; }

    test::TestProgram program;
    frmMain* form = nullptr;
};

TEST_F(TrayIconTest, TooltipFieldIsCutAtItsSizeAndAHandOffBringsTheWindowBack) {
    EXPECT_EQ(form->tray().record().tip, std::string("Idle") + '\0' + std::string(123, ' '));
    EXPECT_TRUE(tray().calls.empty());  // prepared at load, not shown
    EXPECT_EQ(TrayIconOps::tipField(std::string(200, 'a')), std::string(128, 'a'));
    EXPECT_EQ(TrayIconOps::tipField(std::string(127, 'b')), std::string(127, 'b') + '\0');
    EXPECT_EQ(TrayIconOps::tipField(std::string(128, 'c')), std::string(128, 'c'));
    form->tray().setTip(std::string(200, 'x'));
    EXPECT_EQ(form->tray().record().shownTip(), std::string(128, 'x'));

    // A hand-off brings the window back from the tray.
    form->menTray.click();
    form->receiveHandOff(std::string("http://host/a.zip"));
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(tray().shown);
    EXPECT_EQ(ui().clipboard, "http://host/a.zip");
    EXPECT_EQ(ui().activations, 1);
    // Back from the tray, mouse moves at those columns are no tray messages.
    const std::size_t calls = tray().calls.size();
    trayMessage(516);
    trayMessage(515);
    EXPECT_TRUE(ui().popups.empty());
    EXPECT_EQ(tray().calls.size(), calls);
}

}  // namespace
}  // namespace tandu
