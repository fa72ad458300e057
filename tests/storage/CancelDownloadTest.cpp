#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "TestProgram.h"
#include "storage/TextFile.h"
#include "transfer/DownloadList.h"

namespace tandu {
namespace {

namespace fs = std::filesystem;
using test::fileExists;
using test::readFile;
using test::writeFile;

class CancelDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.writeSettings();
        destination = target.path() + "/";
    }
    std::string definition(const std::string& name) const {
        return program.folder.definitions() + name + ".def";
    }
    std::string progress(const std::string& name) const {
        return program.folder.definitions() + name + ".dwn";
    }
    void addPaused(const std::string& name, const std::string& folderLine) {
        writeFile(definition(name), name + "\r\nDownloading\r\nhttp://host/" + name + "\r\n" +
                                        folderLine + "\r\n2\r\n 1000 \r\n 500 \r\n 0 \r\n");
        writeFile(progress(name), "100-500\r\n0-500\r\n");
    }
    void cancel(frmMain& form, const std::string& name) {
        for (int row = 0; row < form.lstDown.rowCount(); ++row) {
            if (form.lstDown.text(row) == name) {
                form.lstDown.select(row);
            }
        }
        form.cmbCancel_Click();
    }

    test::TestProgram program;
    test::TempFolder target;
    std::string destination;
};

TEST_F(CancelDownloadTest, NothingOutsideTheDefinitionsFolderWithoutAUsableFolderLine) {
    // Fewer than four lines: no destination at all. A file of the name in the
    // working folder (where an empty folder line would point) stays.
    writeFile(definition("short.bin"), "short.bin\r\nDownloading\r\nhttp://host/short.bin\r\n");
    writeFile(progress("short.bin"), "1-2\r\n");
    // A relative folder and one without its final "/" would point elsewhere too.
    addPaused("relative.bin", "somewhere/");
    addPaused("unended.bin", target.path());
    const fs::path previous = fs::current_path();
    fs::current_path(target.path());
    fs::create_directory(target.path() + "/somewhere");
    const std::vector<std::string> strangers = {
        "short.bin", "relative.bin", "unended.bin", "somewhere/relative.bin",
        "../" + target.path().substr(target.path().rfind('/') + 1) + "unended.bin"};
    for (const std::string& name : strangers) {
        writeFile(target.path() + "/" + name, "not the download's");
    }
    frmMain& form = program.load();
    for (const char* name : {"short.bin", "relative.bin", "unended.bin"}) {
        program.host.ui.messages.clear();
        cancel(form, name);
        EXPECT_FALSE(fileExists(definition(name)) || fileExists(progress(name))) << name;
        ASSERT_EQ(program.host.ui.messages.size(), 1u) << name;
        EXPECT_NE(program.host.ui.messages[0].text.find("left in place"), std::string::npos);
    }
    fs::current_path(previous);
    for (const std::string& name : strangers) {
        EXPECT_TRUE(fileExists(target.path() + "/" + name)) << name;
    }
    fs::remove(target.path() + "unended.bin");
    EXPECT_EQ(form.lstDown.rowCount(), 0);
}

// Only regular files are deleted; a row whose name is no file name (line 1 of
// a hand-edited file names a path out of the definitions folder) or whose
// download another process transfers touches nothing.
TEST_F(CancelDownloadTest, OnlyTheDownloadsOwnRegularFilesAreDeleted) {
    test::TempFolder outside;
    writeFile(outside / "precious", "keep");
    addPaused("link.bin", destination);
    fs::create_symlink(outside / "precious", destination + "link.bin");
    addPaused("dir.bin", destination);
    fs::create_directory(destination + "dir.bin");
    writeFile(destination + "dir.bin/inner", "keep");
    writeFile(definition("x"), "../config.cfg\r\nDownloading\r\nhttp://h/x\r\n" + destination +
                                   "\r\n1\r\n 1 \r\n 1 \r\n 0 \r\n");
    addPaused("busy.bin", destination);
    writeFile(destination + "busy.bin", "partial");
    const std::string settingsBefore = readFile(program.folder / "config.cfg");
    frmMain& form = program.load();
    program.host.locks.heldElsewhere.insert(definition("busy.bin"));
    // The row of "x" goes by its file's name: line 1 is a path.
    for (const char* name : {"link.bin", "dir.bin", "x", "busy.bin"}) {
        cancel(form, name);
    }
    EXPECT_EQ(readFile(outside / "precious"), "keep");
    EXPECT_TRUE(fs::is_symlink(destination + "link.bin"));
    EXPECT_EQ(readFile(destination + "dir.bin/inner"), "keep");
    EXPECT_EQ(readFile(program.folder / "config.cfg"), settingsBefore);
    EXPECT_FALSE(fileExists(definition("x")));
    EXPECT_TRUE(fileExists(destination + "busy.bin") && fileExists(progress("busy.bin")) &&
                fileExists(definition("busy.bin")));
    EXPECT_EQ(form.lstDown.rowCount(), 1);
    EXPECT_EQ(program.host.ui.lastMessage().text,
              "\"busy.bin\" is being transferred by another Tandu process. It was not cancelled.");
}

// Stored files are never read or written through a link (a definition, header.dat): a cancel
// removes the link alone. A first line naming no file shows by the file's name, and cancels.
TEST_F(CancelDownloadTest, LinksAndUnnamableFirstLinesStillCancelAndDeleteNothingElse) {
    test::TempFolder outside;
    writeFile(outside / "precious", "keep");
    writeFile(outside / "lure.def",
              "precious\r\nDownloading\r\nu\r\n" + outside.path() + "/\r\n");
    fs::create_symlink(outside / "lure.def", definition("linked"));
    for (const auto& [name, line1] : std::map<std::string, std::string>{
             {"cr", "a\rb"}, {"nul", std::string(3, '\0')}, {"bytes", "\xff\xfe"}}) {
        addPaused(name, destination);
        writeFile(definition(name), line1 + readFile(definition(name)).substr(name.size()));
    }
    writeFile(definition("a\x01\xc3"), "");
    frmMain& form = program.load();
    for (const char* shown : {"a\\x01\\xC3", "bytes", "cr", "linked", "nul"}) {
        cancel(form, shown);
    }
    EXPECT_EQ(form.lstDown.rowCount(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(definition("linked"))));
    fs::create_symlink(outside / "lure.def", program.folder / "header.dat");
    EXPECT_FALSE(textfile::writeLines(program.folder / "header.dat", {"HTTP/1.1 200 OK"}));
    EXPECT_EQ(readFile(outside / "precious") + readFile(outside / "lure.def").substr(0, 8),
              "keepprecious");
}

}  // namespace
}  // namespace tandu
