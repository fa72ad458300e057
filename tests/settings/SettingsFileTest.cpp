#include <gtest/gtest.h>

#include "TempFolder.h"
#include "settings/SettingsFile.h"

namespace tandu {
namespace {

SettingsFile::Defaults defaultsFrom(const std::string& contents) {
    test::TempFolder folder;
    test::writeFile(folder / "config.cfg", contents);
    return SettingsFile::defaults(folder / "config.cfg");
}

TEST(SettingsFile, MissingFileOrForeignMarkerGivesTheDefaults) {
    test::TempFolder folder;
    const auto missing = SettingsFile::defaults(folder / "config.cfg");
    EXPECT_FALSE(missing.fromFile);
    EXPECT_EQ(missing.connections, "4");
    EXPECT_EQ(missing.folder, "");
    EXPECT_EQ(missing.buffer, "512KB");
    for (const char* marker : {"1.00", "1.1", "", "x"}) {
        const auto foreign = defaultsFrom(std::string(marker) + "\r\n8\r\n/d\r\n1024KB\r\n");
        EXPECT_FALSE(foreign.fromFile) << marker;
        EXPECT_EQ(foreign.connections, "4");
        EXPECT_EQ(foreign.folder, "");
    }
}

TEST(SettingsFile, MarkerAndValuesAreReadTrimmed) {
    const auto shown = defaultsFrom("  1.0 \r\n 8 \r\n /data/dl \r\n 2048KB \r\n");
    EXPECT_TRUE(shown.fromFile);
    EXPECT_EQ(shown.connections, "8");
    EXPECT_EQ(shown.folder, "/data/dl");
    EXPECT_EQ(shown.buffer, "2048KB");
    // A lone LF ends a line as well.
    EXPECT_EQ(defaultsFrom("1.0\n3\n/x\n128KB\n").connections, "3");
}

TEST(SettingsFile, UnusableConnectionsOrBufferFallBackToTheDefaults) {
    for (const char* contents :
         {"1.0\r\nabc\r\n/f\r\nlotsKB\r\n", "1.0\r\n\r\n/f\r\n\r\n", "1.0\r\n0\r\n/f\r\n0KB\r\n",
          "1.0\r\n99\r\n/f\r\n512\r\n", "1.0\r\n-3\r\n/f\r\n-512KB\r\n",
          "1.0\r\n4\r\n/f\r\n65537KB\r\n"}) {
        const auto shown = defaultsFrom(contents);
        EXPECT_TRUE(shown.fromFile) << contents;
        EXPECT_EQ(shown.connections, "4") << contents;
        EXPECT_EQ(shown.folder, "/f") << contents;
        EXPECT_EQ(shown.buffer, "512KB") << contents;
    }
    EXPECT_EQ(SettingsFile::bufferBytes("65536KB"), 65'536'000);
    // Missing lines.
    const auto shortFile = defaultsFrom("1.0\r\n");
    EXPECT_TRUE(shortFile.fromFile);
    EXPECT_EQ(shortFile.connections, "4");
    EXPECT_EQ(shortFile.folder, "");
    EXPECT_EQ(shortFile.buffer, "512KB");
}

TEST(SettingsFile, WritesFourLinesExactlyAndRefusesLineBreaks) {
    test::TempFolder folder;
    const std::string path = folder / "config.cfg";
    ASSERT_TRUE(SettingsFile::write(path, "16", " /with blanks ", "8192KB"));
    EXPECT_EQ(test::readFile(path), "1.0\r\n16\r\n /with blanks \r\n8192KB\r\n");
    std::string reason;
    EXPECT_FALSE(SettingsFile::write(path, "4", "/a\nb", "512KB", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(test::readFile(path), "1.0\r\n16\r\n /with blanks \r\n8192KB\r\n");
    EXPECT_EQ(SettingsFile::bufferBytes("8192KB"), 8'192'000);
}

// Downloads at once sit on a fifth line: a four-line file means 1, and lines
// 1 to 4 stay where an older build reads them.
TEST(SettingsFile, SimultaneousDownloadsOnALineOfTheirOwn) {
    test::TempFolder folder;
    const std::string path = folder / "config.cfg";
    test::writeFile(path, "1.0\r\n4\r\n/d/\r\n512KB\r\n");
    EXPECT_EQ(SettingsFile::simultaneous(path), 1);
    ASSERT_TRUE(SettingsFile::write(path, "4", "/d/", "512KB", 3));
    EXPECT_EQ(test::readFile(path), "1.0\r\n4\r\n/d/\r\n512KB\r\n3\r\n");
    EXPECT_EQ(SettingsFile::defaults(path).simultaneous, 3);
    ASSERT_TRUE(SettingsFile::write(path, "6", "/d/", "256KB"));  // keeps the 3
    EXPECT_EQ(test::readFile(path), "1.0\r\n6\r\n/d/\r\n256KB\r\n3\r\n");
    for (const char* line : {"0", "9", "x", ""}) {
        test::writeFile(path, std::string("1.0\r\n4\r\n\r\n512KB\r\n") + line + "\r\n");
        EXPECT_EQ(SettingsFile::simultaneous(path), 1) << line;
    }
}

}  // namespace
}  // namespace tandu
