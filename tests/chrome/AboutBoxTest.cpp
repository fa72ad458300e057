#include <gtest/gtest.h>

#include "TestProgram.h"
#include "chrome/frmAbout.h"

namespace tandu {
namespace {

TEST(AboutBoxTest, ShowsItsInfoAndClosesWithOK) {
    test::TestProgram program;
    program.writeSettings();
    frmMain& form = program.load();
    bool checked = false;
    program.host.ui.modalScripts.push_back([&](Form& shown) {
        auto& about = dynamic_cast<frmAbout&>(shown);
        EXPECT_EQ(about.caption(), "About Tandu Download Manager");
        EXPECT_EQ(about.fraInfo.caption(), "Info");
        EXPECT_EQ(about.lblName.caption(), "Tandu Download Manager");
        EXPECT_EQ(about.lblVersion.caption(), "Version: 1.0 Beta");
        EXPECT_FALSE(about.imgAbout.image().empty());
        EXPECT_FALSE(about.txtWeb.text().empty());
        EXPECT_EQ(about.cmbO.caption(), "OK");
        about.cmbO.click();
        EXPECT_TRUE(about.unloaded());
        checked = true;
    });
    form.menAbout.click();
    EXPECT_TRUE(checked);
    EXPECT_EQ(program.host.ui.modalForms, std::vector<std::string>{"frmAbout"});
}

}  // namespace
}  // namespace tandu
