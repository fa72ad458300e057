#include <gtest/gtest.h>

#include <random>

#include "TestProgram.h"

namespace tandu {
namespace {

enum class Look { Normal, Hover, Pressed, Broken };

class PictureButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.writeSettings();
        form = &program.load();
    }

    Look look(int i) const {
        const int shown =
            form->imgBtn[i].visible() + form->imgBtnO[i].visible() + form->imgBtnC[i].visible();
        if (shown != 1) {
            return Look::Broken;
        }
        return form->imgBtn[i].visible()    ? Look::Normal
               : form->imgBtnO[i].visible() ? Look::Hover
                                            : Look::Pressed;
    }
    std::vector<Look> looks() const {
        std::vector<Look> all;
        for (int i = 0; i < frmMain::kPictureCount; ++i) {
            all.push_back(look(i));
        }
        return all;
    }
    void expectLooks(std::vector<Look> expected) { EXPECT_EQ(looks(), expected); }

    // The mouse as the stacked pictures receive it: a move reaches the picture
    // on top, a release goes to the picture that took the press.
    void moveOver(int i) {
        if (form->imgBtn[i].visible()) {
            form->imgBtn[i].mouseMove();
        }
    }
    void moveOverBackground() { form->mouseMove(0, 0, 100 * 15, 100 * 15); }
    void press(int i) {
        moveOver(i);
        if (form->imgBtnO[i].visible()) {
            pressed = i;
            form->imgBtnO[i].mouseDown();
        }
    }
    void release() {
        if (pressed >= 0) {
            const int i = pressed;
            pressed = -1;
            form->imgBtnO[i].mouseUp();
        }
    }
    int checkCommands() const { return static_cast<int>(program.host.ui.prompts.size()); }

    test::TestProgram program;
    frmMain* form = nullptr;
    int pressed = -1;
};

constexpr Look N = Look::Normal, H = Look::Hover, P = Look::Pressed;

TEST_F(PictureButtonsTest, StartNormalAndHoverFollowsThePointer) {
    expectLooks({N, N, N, N, N});
    for (int i = 0; i < frmMain::kPictureCount; ++i) {
        EXPECT_EQ(form->imgBtnO[i].left(), frmMain::kPictureLeft);
        EXPECT_EQ(form->imgBtnC[i].left(), frmMain::kPictureLeft);
    }
    moveOver(2);
    expectLooks({N, N, H, N, N});
    moveOver(3);  // straight from 2 onto 3
    expectLooks({N, N, N, H, N});
    moveOverBackground();
    expectLooks({N, N, N, N, N});
}

TEST_F(PictureButtonsTest, CommandRunsOnceOnReleaseWithTheHoverLookUp) {
    std::vector<std::vector<Look>> seenInCommand;
    program.host.ui.onMessage = [&](const test::ShownMessage&) {
        seenInCommand.push_back(looks());
    };
    moveOver(4);
    press(4);
    expectLooks({N, N, N, N, P});
    EXPECT_EQ(checkCommands(), 0);
    release();
    EXPECT_EQ(checkCommands(), 1);
    // The cancelled prompt's message showed while button 4 still hovered.
    ASSERT_EQ(seenInCommand.size(), 1u);
    EXPECT_EQ(seenInCommand[0], (std::vector<Look>{N, N, N, N, H}));
    expectLooks({N, N, N, N, H});
    // Moving while pressed and releasing elsewhere still ends at the pressed button.
    press(4);
    moveOver(1);
    release();
    EXPECT_EQ(checkCommands(), 2);
}

TEST_F(PictureButtonsTest, ExactlyOneLookPerIndexAfterAnySequence) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        int releasesOf4 = 0;
        const int commandsBefore = checkCommands();
        for (int step = 0; step < 60; ++step) {
            const int index = static_cast<int>(random() % 7) - 1;  // -1 .. 5
            const int button = static_cast<int>(random() % 5);
            switch (random() % 7) {
                case 0:
                    moveOver(button);
                    break;
                case 1:
                    moveOverBackground();
                    break;
                case 2:
                    press(button);
                    break;
                case 3:
                    releasesOf4 += pressed == 4;
                    release();
                    break;
                // Handlers called in any order, also for pictures that are hidden.
                case 4:
                    form->imgBtn_MouseMove(index);
                    break;
                case 5:
                    form->imgBtnO_MouseDown(index);
                    break;
                case 6:
                    releasesOf4 += index == 4;
                    if (pressed == index) {
                        pressed = -1;
                    }
                    form->imgBtnO_MouseUp(index);
                    break;
            }
            for (int i = 0; i < frmMain::kPictureCount; ++i) {
                ASSERT_NE(look(i), Look::Broken) << "round " << round << " step " << step;
            }
        }
        EXPECT_EQ(checkCommands() - commandsBefore, releasesOf4);
        release();
        moveOverBackground();
    }
}

}  // namespace
}  // namespace tandu
