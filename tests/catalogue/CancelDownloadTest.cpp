#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "TestProgram.h"
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
    void addWaiting(const std::string& name) {
        writeFile(definition(name),
                  name + "\r\nWaiting\r\nhttp://host/" + name + "\r\n" + destination + "\r\n4\r\n");
    }
    frmMain& load() {
        frmMain& form = program.load();
        for (Button* button : buttons(form)) {
            button->setEnabled(true);
        }
        return form;
    }
    static std::vector<Button*> buttons(frmMain& form) {
        return {&form.cmbDownSel, &form.cmbPause, &form.cmbCancel, &form.cmbClear};
    }
    static int rowNamed(const frmMain& form, const std::string& name) {
        for (int row = 0; row < form.lstDown.rowCount(); ++row) {
            if (form.lstDown.text(row) == name) {
                return row;
            }
        }
        return -1;
    }
    void cancel(frmMain& form, const std::string& name) {
        form.lstDown.select(rowNamed(form, name));
        form.cmbCancel_Click();
    }

    test::TestProgram program;
    test::TempFolder target;
    std::string destination;
};

TEST_F(CancelDownloadTest, PausedDownloadLosesItsFilesAndRow) {
    addPaused("movie.avi", destination);
    addWaiting("other.zip");
    writeFile(destination + "movie.avi", std::string(1000, 'x'));
    frmMain& form = load();
    cancel(form, "movie.avi");
    EXPECT_FALSE(fileExists(destination + "movie.avi"));
    EXPECT_FALSE(fileExists(progress("movie.avi")));
    EXPECT_FALSE(fileExists(definition("movie.avi")));
    EXPECT_EQ(rowNamed(form, "movie.avi"), -1);
    EXPECT_EQ(form.lstDown.rowCount(), 1);
    EXPECT_TRUE(form.cmbCancel.enabled());  // a row is left
    EXPECT_TRUE(program.host.ui.messages.empty());
    EXPECT_TRUE(program.host.locks.held.empty());

    cancel(form, "other.zip");
    EXPECT_EQ(form.lstDown.rowCount(), 0);
    for (Button* button : buttons(form)) {
        EXPECT_FALSE(button->enabled()) << button->name();
    }
}

TEST_F(CancelDownloadTest, WaitingDownloadLeavesAFileOfItsNameAlone) {
    addWaiting("report.pdf");
    writeFile(destination + "report.pdf", "the user's own report");
    frmMain& form = load();
    cancel(form, "report.pdf");
    EXPECT_EQ(readFile(destination + "report.pdf"), "the user's own report");
    EXPECT_FALSE(fileExists(definition("report.pdf")));
    EXPECT_EQ(form.lstDown.rowCount(), 0);
}

TEST_F(CancelDownloadTest, MissingDefinitionStillTakesRowAndProgressFile) {
    addPaused("gone.iso", destination);
    writeFile(destination + "gone.iso", "partial");
    frmMain& form = load();
    fs::remove(definition("gone.iso"));
    cancel(form, "gone.iso");
    EXPECT_FALSE(fileExists(progress("gone.iso")));
    EXPECT_TRUE(fileExists(destination + "gone.iso"));
    EXPECT_EQ(form.lstDown.rowCount(), 0);
}

TEST_F(CancelDownloadTest, ADownloadAnotherProcessTransfersIsRefused) {
    addPaused("busy.bin", destination);
    writeFile(destination + "busy.bin", "partial");
    frmMain& form = load();
    program.host.locks.heldElsewhere.insert(definition("busy.bin"));
    cancel(form, "busy.bin");
    ASSERT_EQ(program.host.ui.messages.size(), 1u);
    EXPECT_EQ(program.host.ui.messages[0].title, "Error");
    EXPECT_NE(program.host.ui.messages[0].text.find("busy.bin"), std::string::npos);
    EXPECT_NE(program.host.ui.messages[0].text.find("not cancelled"), std::string::npos);
    EXPECT_TRUE(fileExists(destination + "busy.bin"));
    EXPECT_TRUE(fileExists(progress("busy.bin")));
    EXPECT_TRUE(fileExists(definition("busy.bin")));
    EXPECT_EQ(form.lstDown.rowCount(), 1);
}

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
    for (const char* name : {"short.bin", "relative.bin", "unended.bin"}) {
        writeFile(target.path() + "/" + name, "not the download's");
    }
    fs::create_directory(target.path() + "/somewhere");
    writeFile(target.path() + "/somewhere/relative.bin", "not the download's");
    writeFile(target.path() + "unended.bin", "not the download's");

    frmMain& form = load();
    for (const char* name : {"short.bin", "relative.bin", "unended.bin"}) {
        program.host.ui.messages.clear();
        cancel(form, name);
        EXPECT_FALSE(fileExists(definition(name))) << name;
        EXPECT_FALSE(fileExists(progress(name))) << name;
        ASSERT_EQ(program.host.ui.messages.size(), 1u) << name;
        EXPECT_NE(program.host.ui.messages[0].text.find("left in place"), std::string::npos);
    }
    fs::current_path(previous);
    for (const char* name : {"short.bin", "relative.bin", "unended.bin"}) {
        EXPECT_TRUE(fileExists(target.path() + "/" + name)) << name;
    }
    EXPECT_TRUE(fileExists(target.path() + "/somewhere/relative.bin"));
    EXPECT_TRUE(fileExists(target.path() + "unended.bin"));
    fs::remove(target.path() + "unended.bin");
    EXPECT_EQ(form.lstDown.rowCount(), 0);
}

TEST_F(CancelDownloadTest, OnlyRegularFilesAreDeleted) {
    test::TempFolder outside;
    writeFile(outside / "precious", "keep");
    addPaused("link.bin", destination);
    fs::create_symlink(outside / "precious", destination + "link.bin");
    addPaused("dir.bin", destination);
    fs::create_directory(destination + "dir.bin");
    writeFile(destination + "dir.bin/inner", "keep");
    frmMain& form = load();
    cancel(form, "link.bin");
    cancel(form, "dir.bin");
    EXPECT_EQ(readFile(outside / "precious"), "keep");
    EXPECT_TRUE(fs::is_symlink(destination + "link.bin"));
    EXPECT_EQ(readFile(destination + "dir.bin/inner"), "keep");
    EXPECT_EQ(form.lstDown.rowCount(), 0);
}

TEST_F(CancelDownloadTest, ARowWhoseNameIsNoFileNameTouchesNothing) {
    test::TempFolder outside;
    // Line 1 of a hand-edited file names a path out of the definitions folder.
    writeFile(program.folder.definitions() + "x.def",
              "../config.cfg\r\nDownloading\r\nhttp://h/x\r\n" + destination +
                  "\r\n1\r\n 1 \r\n 1 \r\n 0 \r\n");
    const std::string settingsBefore = readFile(program.folder / "config.cfg");
    frmMain& form = load();
    cancel(form, "../config.cfg");
    EXPECT_EQ(readFile(program.folder / "config.cfg"), settingsBefore);
    EXPECT_TRUE(fileExists(program.folder.definitions() + "x.def"));
    EXPECT_EQ(form.lstDown.rowCount(), 1);
    EXPECT_EQ(program.host.ui.messages.size(), 1u);
}

class ClearCompletedTest : public ::testing::Test {
protected:
    frmMain& loadWithStates(const std::vector<std::string>& states) {
        program.writeSettings();
        frmMain& form = program.load();
        for (std::size_t i = 0; i < states.size(); ++i) {
            const std::string name = "file" + std::to_string(i);
            const std::string path = program.folder.definitions() + name + ".def";
            DefinitionFile::writeForm1(path, name, "http://h/" + name, "/tmp/", "1");
            Download& download = form.downloads().add(path);
            download.setRowState(StateFromText(states[i]).value_or(DownloadState::Error), "");
            form.lstDown.setCell(form.downloads().count() - 1, 2, states[i]);
        }
        for (Button* button : {&form.cmbDownSel, &form.cmbPause, &form.cmbCancel, &form.cmbClear}) {
            button->setEnabled(true);
        }
        return form;
    }
    test::TestProgram program;
};

TEST_F(ClearCompletedTest, KeepsEveryRowThatIsNotExactlyCompleted) {
    frmMain& form = loadWithStates({"Completed", "Paused", "Completed", "completed", "Waiting"});
    form.cmbClear.click();
    ASSERT_EQ(form.lstDown.rowCount(), 3);
    EXPECT_EQ(form.lstDown.text(0), "file1");
    EXPECT_EQ(form.lstDown.text(1), "file3");
    EXPECT_EQ(form.lstDown.text(2), "file4");
    EXPECT_TRUE(form.cmbClear.enabled());
    // Only completed rows left: the list empties and the four buttons go grey.
    for (int row = 0; row < 3; ++row) {
        form.downloads().at(row).setRowState(DownloadState::Completed, "");
    }
    form.cmbClear.click();
    EXPECT_EQ(form.lstDown.rowCount(), 0);
    for (Button* button : {&form.cmbDownSel, &form.cmbPause, &form.cmbCancel, &form.cmbClear}) {
        EXPECT_FALSE(button->enabled());
    }
}

TEST_F(ClearCompletedTest, ManyRowsGoInOnePassKeepingOrderAndSelection) {
    std::vector<std::string> states;
    for (int i = 0; i < 300; ++i) {
        states.push_back(i % 3 == 0 ? "Paused" : "Completed");
    }
    frmMain& form = loadWithStates(states);
    form.lstDown.select(150);  // "Paused"
    std::vector<ControlChange> changes;
    form.lstDown.setListener([&](const ControlChange& change) { changes.push_back(change); });
    form.cmbClear.click();
    ASSERT_EQ(form.lstDown.rowCount(), 100);
    for (int row = 0; row < 100; ++row) {
        EXPECT_EQ(form.lstDown.text(row), "file" + std::to_string(row * 3));
    }
    EXPECT_EQ(form.lstDown.selectedIndex(), 50);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].what, Change::RowsReset);
    EXPECT_EQ(changes[1].what, Change::Selection);
    form.lstDown.setListener(nullptr);

    // A selected row that goes leaves no selection.
    for (int i = 0; i < 100; ++i) {
        form.downloads().at(i).setRowState(
            i == 99 ? DownloadState::Paused : DownloadState::Completed, "");
    }
    form.lstDown.select(10);
    form.cmbClear.click();
    EXPECT_EQ(form.lstDown.rowCount(), 1);
    EXPECT_EQ(form.lstDown.selectedIndex(), -1);
}

}  // namespace
}  // namespace tandu
