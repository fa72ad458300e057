#include <gtest/gtest.h>

#include "TempFolder.h"
#include "storage/SettingsFile.h"

namespace tandu {
namespace {

// What the settings file holding `contents` shows: "file|connections|folder|buffer",
// "defaults|..." when it is not taken as a settings file at all.
std::string shown(const char* contents) {
    test::TempFolder folder;
    if (contents != nullptr) {
        test::writeFile(folder / "config.cfg", contents);
    }
    const auto read = SettingsFile::defaults(folder / "config.cfg");
    return std::string(read.fromFile ? "file|" : "defaults|") + read.connections + "|" +
           read.folder + "|" + read.buffer;
}

TEST(SettingsFile, ReadTrimmedWithTheDefaultsForWhatIsMissingOrUnusable) {
    EXPECT_EQ(shown(nullptr), "defaults|4||512KB");
    for (const char* marker : {"1.00", "1.1", "", "x"}) {
        EXPECT_EQ(shown((std::string(marker) + "\r\n8\r\n/d\r\n1024KB\r\n").c_str()),
                  "defaults|4||512KB");
    }
    EXPECT_EQ(shown("  1.0 \r\n 8 \r\n /data/dl \r\n 2048KB \r\n"), "file|8|/data/dl|2048KB");
    EXPECT_EQ(shown("1.0\n3\n/x\n128KB\n"), "file|3|/x|128KB");  // a lone LF ends a line too
    EXPECT_EQ(shown("1.0\r\n"), "file|4||512KB");
    for (const char* contents :
         {"1.0\r\nabc\r\n/f\r\nlotsKB\r\n", "1.0\r\n\r\n/f\r\n\r\n", "1.0\r\n0\r\n/f\r\n0KB\r\n",
          "1.0\r\n99\r\n/f\r\n512\r\n", "1.0\r\n-3\r\n/f\r\n-512KB\r\n",
          "1.0\r\n4\r\n/f\r\n65537KB\r\n"}) {
        EXPECT_EQ(shown(contents), "file|4|/f|512KB") << contents;
    }
}

// Written exactly; downloads at once sit on a fifth line: a four-line file
// means 1, and lines 1 to 4 stay where an older build reads them.
TEST(SettingsFile, WrittenExactlyWithSimultaneousDownloadsOnALineOfTheirOwn) {
    test::TempFolder folder;
    const std::string path = folder / "config.cfg";
    test::writeFile(path, "1.0\r\n4\r\n/d/\r\n512KB\r\n");
    EXPECT_EQ(SettingsFile::simultaneous(path), 1);
    ASSERT_TRUE(SettingsFile::write(path, "4", "/d/", "512KB", 3));
    EXPECT_EQ(test::readFile(path), "1.0\r\n4\r\n/d/\r\n512KB\r\n3\r\n");
    EXPECT_EQ(SettingsFile::defaults(path).simultaneous, 3);
    ASSERT_TRUE(SettingsFile::write(path, "6", "/d/", "256KB"));  // keeps the 3
    EXPECT_EQ(test::readFile(path), "1.0\r\n6\r\n/d/\r\n256KB\r\n3\r\n");
    EXPECT_EQ(SettingsFile::bufferBytes("65536KB"), 65'536'000);
    // A folder holding a line break would shift every line after it.
    std::string reason;
    EXPECT_FALSE(SettingsFile::write(path, "4", "/a\nb", "512KB", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(test::readFile(path), "1.0\r\n6\r\n/d/\r\n256KB\r\n3\r\n");
    for (const char* line : {"0", "33", "x", ""}) {
        test::writeFile(path, std::string("1.0\r\n4\r\n\r\n512KB\r\n") + line + "\r\n");
        EXPECT_EQ(SettingsFile::simultaneous(path), 1) << line;
    }
    // Newer settings follow line 5 as Key=value, which is then always there;
    // a write that names none keeps the file's own.
    ASSERT_TRUE(SettingsFile::write(path, "4", "/d/", "512KB", 1, {{"Limit", "500"}}));
    EXPECT_EQ(test::readFile(path), "1.0\r\n4\r\n/d/\r\n512KB\r\n1\r\nLimit=500\r\n");
    ASSERT_TRUE(SettingsFile::write(path, "5", "/d/", "512KB", 2));
    EXPECT_EQ(SettingsFile::defaults(path).extras, (SettingsFile::Extras{{"Limit", "500"}}));
    EXPECT_FALSE(SettingsFile::write(path, "4", "/d/", "512KB", 1, {{"A", "x\ny"}}));
}

}  // namespace
}  // namespace tandu
