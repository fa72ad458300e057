#include <gtest/gtest.h>

#include <filesystem>

#include "HeadlessUi.h"
#include "TempFolder.h"
#include "dialogs/AddSteps.h"
#include "services/AddService.h"
#include "services/DownloadAdder.h"

namespace tandu {
namespace {

TEST(FolderIsValid, ExistingFolderIsValidAndANewOneIsNotLeftBehind) {
    test::TempFolder folder;
    EXPECT_TRUE(FolderIsValid(folder.path() + "/"));
    // A new folder is no folder, and is not left behind: cli_add.sh, UrlDialog.
    // What cannot be created at all counts as valid, and nothing appears.
    EXPECT_TRUE(FolderIsValid(folder / "missing/parent/"));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    EXPECT_TRUE(FolderIsValid(""));
    // A file in the way cannot become a folder.
    test::writeFile(folder / "file", "x");
    EXPECT_TRUE(FolderIsValid(folder / "file"));
    EXPECT_EQ(test::readFile(folder / "file"), "x");
}

TEST(BrowseForFolder, AnswersThePathWithoutBlanksOrTheEmptyText) {
    test::HeadlessUi ui;
    ui.folderAnswers = {"  /a b/c  ", std::string("/x\0junk", 7), ""};
    EXPECT_EQ(BrowseForFolder(ui, "Pick"), "/a b/c");
    EXPECT_EQ(BrowseForFolder(ui, "Pick"), "/x");
    EXPECT_EQ(BrowseForFolder(ui, "Pick"), "");
    EXPECT_EQ(ui.folderPrompts.size(), 3u);
}

TEST(DownloadAdder, NumberedNamesKeepTheExtensionAndFitAFileName) {
    EXPECT_EQ(DownloadAdder::numberedName("file.zip", 2), "file (2).zip");
    EXPECT_EQ(DownloadAdder::numberedName("archive.tar.gz", 3), "archive.tar (3).gz");
    EXPECT_EQ(DownloadAdder::numberedName("README", 2), "README (2)");
    EXPECT_EQ(DownloadAdder::numberedName(".hidden", 2), ".hidden (2)");
    const std::string longName = std::string(240 - 4, 'n') + ".zip";
    const std::string numbered = DownloadAdder::numberedName(longName, 12345);
    EXPECT_EQ(numbered.size(), 240u);
    EXPECT_TRUE(numbered.ends_with(" (12345).zip"));
}

}  // namespace
}  // namespace tandu
