#include <gtest/gtest.h>

#include "TempFolder.h"
#include "storage/FileNames.h"

namespace tandu {
namespace {

TEST(FileNameFromURL, TakesWhatFollowsTheLastSlash) {
    EXPECT_EQ(FileNameFromURL("http://host/dir/archive.tar.gz"), "archive.tar.gz");
    EXPECT_EQ(FileNameFromURL("http://host/dir/"), "");
    EXPECT_EQ(FileNameFromURL("no-slash-at-all"), "");
    EXPECT_EQ(FileNameFromURL(""), "unkonwn");
    // A query part stays, its "?" replaced; nothing is decoded, trimmed or cased.
    EXPECT_EQ(FileNameFromURL("http://host/get.php?id=7"), "get.php_id=7");
    EXPECT_EQ(FileNameFromURL("http://host/A%20b .ZIP"), "A%20b .ZIP");
    // The nine characters no file name may hold.
    EXPECT_EQ(FileNameFromURL("http://h/1\\2:3*4?5\"6<7>8|9"), "1_2_3_4_5_6_7_8_9");
}

TEST(SafeDownloadName, NeverEmptyDotOrDotDotAndTrimmed) {
    EXPECT_EQ(SafeDownloadName("http://host/dir/"), "unkonwn");
    EXPECT_EQ(SafeDownloadName("http://host/.") + SafeDownloadName("http://host/.."),
              "unkonwnunkonwn");
    EXPECT_EQ(SafeDownloadName("http://host/  f.zip  "), "f.zip");
    EXPECT_EQ(SafeDownloadName("http://host/   "), "unkonwn");
    const std::string longName = std::string(400, 'a') + ".zip";
    const std::string safe = SafeDownloadName("http://host/" + longName);
    EXPECT_LE(safe.size(), 240u);
    EXPECT_EQ(safe.substr(safe.size() - 4), ".zip");
    // A cut that ends in a blank is trimmed: the row shows the name trimmed.
    EXPECT_EQ(SafeDownloadName("http://h/" + std::string(239, 'b') + "  c"), std::string(239, 'b'));
}

TEST(FileExists, OnlyReadableRegularFiles) {
    test::TempFolder folder;
    EXPECT_FALSE(FileExists(folder / "missing"));
    EXPECT_FALSE(FileExists(folder.path()));  // a folder is not a file
    EXPECT_FALSE(FileExists(""));
    test::writeFile(folder / "f", "x");
    EXPECT_TRUE(FileExists(folder / "f"));
}

}  // namespace
}  // namespace tandu
