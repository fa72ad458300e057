#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "TestProgram.h"
#include "storage/DownloadRows.h"

namespace tandu {
namespace {

using test::writeFile;

struct Row {
    std::string file, speed, state, size, eta;
};

class DownloadRowsTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    NumberText numbers{","};
    Row add(const std::string& name, const std::string& def, const char* dwn = nullptr) {
        writeFile(folder.definitions() + name + ".def", def);
        if (dwn) {
            writeFile(folder.definitions() + name + ".dwn", dwn);
        }
        const DownloadRow row = ReadDownloadRow(numbers, folder.definitions() + name + ".def");
        return {row.text, "???", row.paused ? "Paused" : "Waiting", row.size, "???"};
    }
};

// Plain paused and waiting rows: cli_list.sh.
TEST_F(DownloadRowsTest, PausedRowSumsItsProgressFileExactly) {
    // Blanks around a line and a last empty line are no pieces of their own.
    const std::string def =
        "b.zip\r\nDownloading\r\nhttp://h/b.zip\r\n/tmp/\r\n2\r\n 1500000 \r\n 750000 \r\n 0 \r\n";
    EXPECT_EQ(add("b.zip", def, "250000-750000\r\n  750000-750000  \r\n\r\n").size,
              "1,000/1,500KB");
    // Sums past two gigabytes stay exact.
    const std::string big =
        "g\r\nDownloading\r\nhttp://h/g\r\n/tmp/\r\n2\r\n 6000000000 \r\n 3000000000 \r\n 0 \r\n";
    EXPECT_EQ(add("g", big, "3000000000-3000000000\r\n1500000000-3000000000\r\n").size,
              "4,500,000/6,000,000KB");
    // The name is trimmed; an odd state reads as Waiting.
    const Row row = add("h", "  h  \r\nSomething\r\nu\r\n/\r\n4\r\n");
    EXPECT_EQ(row.file + row.state + row.size, "hWaiting");
}

TEST_F(DownloadRowsTest, MalformedFilesStillGiveARowWithoutTouchingAnything) {
    const std::string good =
        "m\r\nDownloading\r\nhttp://h/m\r\n/tmp/\r\n2\r\n 1000 \r\n 500 \r\n 0 \r\n";
    EXPECT_EQ(add("empty", "").file + add("empty2", "").size, "empty???");
    EXPECT_EQ(add("short", "short\r\nDownloading\r\n").size, "???");
    EXPECT_EQ(
        add("nan", "nan\r\nDownloading\r\nu\r\n/\r\n2\r\n big \r\n1\r\n0\r\n", "1-1\r\n").size,
        "???");
    EXPECT_EQ(add("nodwn", good).size, "???");
    EXPECT_EQ(add("baddwn", good, "x-500\r\n").size, "???");
    EXPECT_EQ(add("negdwn", good, "-5-500\r\n").size, "???");
    EXPECT_EQ(add("hugedwn", good, "9000000000000000000-1\r\n9000000000000000000-1\r\n").size,
              "???");
    EXPECT_EQ(add("binary", std::string("\0\xff\r\n\x01", 5)).state, "Waiting");
    // A giant progress file would fill memory (giant definitions, pipes and
    // devices: hostile_files.sh).
    std::string lines;
    for (int i = 0; i < 10000; ++i) {
        lines += "0-500\r\n";
    }
    EXPECT_EQ(add("giant2", good, lines.c_str()).size, "???");
    // Nothing was rewritten or removed.
    EXPECT_EQ(test::readFile(folder.definitions() + "baddwn.dwn"), "x-500\r\n");
    EXPECT_EQ(test::readFile(folder.definitions() + "nodwn.def"), good);
}

TEST(ScanDefinitions, LeftoversOfAnInterruptedAddGoOnceOld) {
    test::TempFolder folder;
    const std::string defs = folder.definitions();
    for (const char* name : {".add-1.tmp", "a.def.tmp", "a.dwn.tmp", ".add-2.tmp", "keep.tmp"}) {
        writeFile(defs + name, "x");
    }
    for (const char* old : {".add-1.tmp", "a.def.tmp", "a.dwn.tmp", "keep.tmp"}) {
        std::filesystem::last_write_time(
            defs + old, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    ScanDefinitions(folder.definitions(), [](const std::string&) {});
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(defs)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".add-2.tmp", "keep.tmp"}));
}

}  // namespace
}  // namespace tandu
