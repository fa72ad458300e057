#include <gtest/gtest.h>

#include <filesystem>

#include "DialogScripts.h"
#include "dialogs/frmURL.h"

namespace tandu {
namespace {

using test::form1;

void withUrlDialog(test::TestProgram& program, std::function<void(frmURL&)> script) {
    test::openDialog<frmURL>(program, &frmMain::menURL_Click, std::move(script));
}

// Types the link, unchecks the default and saves into `folder`, then presses OK.
void addUrl(test::TestProgram& program, const std::string& url, const std::string& folder) {
    withUrlDialog(program, [&](frmURL& dialog) {
        dialog.txtLink.setText(url);
        if (dialog.chkDefault.checked()) {
            dialog.chkDefault.click();
        }
        dialog.txtSave.setText(folder);
        dialog.cmbOK.click();
        EXPECT_TRUE(dialog.unloaded());
    });
}

TEST(UrlDialog, ClipboardPrefillTakesHttpAndWwwOnlyAsTheyAre) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    const std::pair<const char*, const char*> cases[] = {
        {"www.host.com/file.zip", "www.host.com/file.zip"},
        {"http://host/a.zip  ", "http://host/a.zip  "},
        {"WWW.HOST.COM/FILE.ZIP", ""},
        {"HTTP://host/a.zip", ""},
        {"https://host/a.zip", "https://host/a.zip"},
        {" http://host/a.zip", ""},
    };
    for (const auto& [clipboard, shown] : cases) {
        program.host.ui.clipboard = clipboard;
        const char* expected = shown;  // clang 14 cannot capture a structured binding
        withUrlDialog(program, [&](frmURL& dialog) { EXPECT_EQ(dialog.txtLink.text(), expected); });
    }
}

TEST(UrlDialog, EmptyOrControlCharacterLinkOrMissingFolderKeepTheDialogOpen) {
    test::TestProgram program;
    program.writeSettings();
    program.load();
    const std::string missing = program.folder / "new";
    for (const std::string& link : {std::string(), std::string("http://h/a\r\nb.zip"),
                                    std::string("http://h/a\0b.zip", 15), missing}) {
        withUrlDialog(program, [&](frmURL& dialog) {
            dialog.txtLink.setText(link == missing ? "http://h/f.zip" : link);
            if (link == missing) {
                dialog.chkDefault.click();
                dialog.txtSave.setText(missing);
            }
            dialog.cmbOK.click();
            EXPECT_FALSE(dialog.unloaded());
        });
    }
    ASSERT_EQ(program.host.ui.messages.size(), 4u);
    EXPECT_EQ(program.host.ui.messages[2].text + program.host.ui.messages[3].text,
              "Please set a valid URL.Destination folder is invalid.");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(std::filesystem::is_empty(program.folder.definitions()));
}

TEST(UrlDialog, TakenNamesGetANumberAndLeaveTheOtherDownloadsFilesAlone) {
    test::TestProgram program;
    program.writeSettings();
    const std::string defs = program.folder.definitions();
    // A download in the list, and one whose files are on disk but not listed.
    const std::string listed = form1("f.zip", "http://one/f.zip", "/one/", "4");
    test::writeFile(defs + "f.zip.def", listed);
    program.load();
    test::writeFile(defs + "f (2).zip.dwn", "10-100\r\n");
    const std::string folder = program.folder.path();

    addUrl(program, "http://two/f.zip  ", folder);
    addUrl(program, "http://three/f.zip", folder);
    EXPECT_EQ(test::readFile(defs + "f.zip.def"), listed);
    EXPECT_EQ(test::readFile(defs + "f (2).zip.dwn"), "10-100\r\n");
    EXPECT_FALSE(std::filesystem::exists(defs + "f (2).zip.def"));
    EXPECT_EQ(test::readFile(defs + "f (3).zip.def"),
              form1("f (3).zip", "http://two/f.zip  ", folder + "/", "4"));
    EXPECT_EQ(test::readFile(defs + "f (4).zip.def"),
              form1("f (4).zip", "http://three/f.zip", folder + "/", "4"));
    EXPECT_EQ(test::rowTexts(program.main->lstDown),
              (std::vector<std::string>{"f.zip", "f (3).zip", "f (4).zip"}));

    // A row without files (e.g. a completed download) still holds its name.
    test::writeFile(defs + "done.iso.def", form1("done.iso", "http://h/done.iso", "/one/", "4"));
    program.main->downloads().add(defs + "done.iso.def");
    std::filesystem::remove(defs + "done.iso.def");
    addUrl(program, "http://h/done.iso", folder);
    EXPECT_TRUE(test::fileExists(defs + "done (2).iso.def"));
    EXPECT_FALSE(test::fileExists(defs + "done.iso.def"));
    // A file the user already has in the destination folder is never a download's target.
    test::writeFile(folder + "/mine.zip", "the user's own");
    addUrl(program, "http://h/mine.zip", folder);
    EXPECT_EQ(program.main->lstDown.text(program.main->lstDown.rowCount() - 1), "mine (2).zip");
    // No file name in the URL: the host's, as a browser saves a page; an
    // empty "Save to:" is the root folder.
    addUrl(program, "http://host/dir/", "");
    EXPECT_EQ(test::readFile(defs + "host.html.def"),
              form1("host.html", "http://host/dir/", "/", "4"));
}

}  // namespace
}  // namespace tandu
