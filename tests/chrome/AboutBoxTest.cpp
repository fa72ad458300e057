#include <gtest/gtest.h>

#include "TestProgram.h"
#include "chrome/frmAbout.h"

namespace tandu {
namespace {

TEST(AboutBoxTest, OpensFromTheMenuWithItsPictureAndClosesWithOK) {
    test::TestProgram program;
    program.writeSettings();
    frmMain& form = program.load();
    bool checked = false;
    program.host.ui.modalScripts.push_back([&](Form& shown) {
        auto& about = dynamic_cast<frmAbout&>(shown);
        EXPECT_FALSE(about.imgAbout.image().empty());
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
