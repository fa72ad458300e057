#include <gtest/gtest.h>

#include "TestProgram.h"

namespace tandu {
namespace {

class DetailTabsTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.writeSettings();
        form = &program.load();
        form->applyTransferLayout();
    }
    void click(const std::string& caption) {
        const auto& tabs = form->Tabs.tabs();
        const auto at = std::find(tabs.begin(), tabs.end(), caption) - tabs.begin();
        form->Tabs.clickTab(static_cast<int>(at));
    }
    std::vector<bool> shown() const {
        return {form->pb.visible(), form->fraGen.visible(), form->lstPieces.visible(),
                form->pbBuffer.visible(), form->fraBuf.visible()};
    }

    test::TestProgram program;
    frmMain* form = nullptr;
};

TEST_F(DetailTabsTest, EachTabShowsItsPageAloneAtItsPlace) {
    EXPECT_EQ(form->Tabs.tabs(), (std::vector<std::string>{"General", "Pieces", "Buffer"}));
    form->lstPieces.move(0, 0);
    click("Pieces");
    click("Pieces");
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(form->lstPieces.left(), 2220);
    EXPECT_EQ(form->lstPieces.top(), 2880);

    click("Buffer");
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, true, true}));
    EXPECT_EQ(form->pbBuffer.left(), 2220);
    EXPECT_EQ(form->pbBuffer.top(), 2880);
    EXPECT_EQ(form->fraBuf.left(), 2220);
    EXPECT_EQ(form->fraBuf.top(), 3300);

    click("General");
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, false, false}));
}

}  // namespace
}  // namespace tandu
