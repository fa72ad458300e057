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

TEST_F(TrayIconTest, TooltipFieldIsCutAtItsSize) {
    EXPECT_EQ(form->tray().record().tip, std::string("Idle") + '\0' + std::string(123, ' '));
    EXPECT_TRUE(tray().calls.empty());  // prepared at load, not shown
    EXPECT_EQ(TrayIconOps::tipField(std::string(200, 'a')), std::string(128, 'a'));
    EXPECT_EQ(TrayIconOps::tipField(std::string(127, 'b')), std::string(127, 'b') + '\0');
    EXPECT_EQ(TrayIconOps::tipField(std::string(128, 'c')), std::string(128, 'c'));
    EXPECT_EQ(TrayIconOps::tipField("").size(), 128u);
    form->tray().setTip(std::string(200, 'x'));
    EXPECT_EQ(form->tray().record().shownTip(), std::string(128, 'x'));
}

TEST_F(TrayIconTest, TipsStoredMeanwhileShowWhenSentToTray) {
    form->tray().setTip("12% of file.zip");
    ASSERT_EQ(tray().calls.size(), 1u);
    EXPECT_EQ(tray().calls[0].operation, TrayOperation::Modify);
    EXPECT_FALSE(tray().shown);
    form->menTray.click();
    EXPECT_TRUE(tray().shown);
    EXPECT_EQ(tray().calls.back().operation, TrayOperation::Add);
    EXPECT_EQ(tray().tip, "12% of file.zip");
    EXPECT_FALSE(form->visible());
    form->tray().setTip("Idle");
    EXPECT_EQ(tray().tip, "Idle");
}

TEST_F(TrayIconTest, SendToTrayOnlyFromTheNormalState) {
    for (WindowState state : {WindowState::Minimized, WindowState::Maximized}) {
        form->setWindowState(state);
        form->menTray.click();
        EXPECT_TRUE(form->visible());
        EXPECT_FALSE(tray().shown);
        EXPECT_TRUE(tray().calls.empty());
    }
}

TEST_F(TrayIconTest, DoubleClickRestoresAndRightClickPopsUpTheMenu) {
    form->menTray.click();
    trayMessage(514);  // a single click does nothing
    EXPECT_FALSE(form->visible());
    trayMessage(516);
    EXPECT_EQ(ui().popups, std::vector<std::string>{"menPop"});
    trayMessage(515);
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(tray().shown);
    EXPECT_EQ(tray().calls.back().operation, TrayOperation::Delete);
    EXPECT_EQ(form->windowState(), WindowState::Normal);

    // The pop-up's Restore does the same.
    form->menTray.click();
    form->menRestore.click();
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(tray().shown);
}

TEST_F(TrayIconTest, WithoutATrayTheWindowStays) {
    tray().hasTray = false;
    form->menTray.click();
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(tray().shown);
    ASSERT_EQ(ui().messages.size(), 1u);
    EXPECT_NE(ui().messages[0].text.find("no notification area"), std::string::npos);
}

TEST_F(TrayIconTest, BothExitsRemoveTheIconAndEndTheProgram) {
    form->menTray.click();
    form->menExitPop.click();
    EXPECT_FALSE(tray().shown);
    EXPECT_EQ(ui().endProgramCalls, 1);
    EXPECT_TRUE(form->unloaded());

    test::TestProgram other;
    other.writeSettings();
    frmMain& second = other.load();
    second.menExit.click();
    EXPECT_EQ(other.host.ui.endProgramCalls, 1);
    EXPECT_TRUE(second.unloaded());
    ASSERT_FALSE(other.host.tray.calls.empty());
    EXPECT_EQ(other.host.tray.calls.back().operation, TrayOperation::Delete);
}

TEST_F(TrayIconTest, AHandOffBringsTheWindowBackFromTheTray) {
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
