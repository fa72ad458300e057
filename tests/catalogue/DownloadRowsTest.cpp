#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "TestProgram.h"
#include "catalogue/DownloadRows.h"

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

TEST_F(DownloadRowsTest, PausedRowSumsItsProgressFile) {
    const std::string def =
        "b.zip\r\nDownloading\r\nhttp://h/b.zip\r\n/tmp/\r\n3\r\n 1500000 \r\n 500000 \r\n 0 \r\n";
    Row row = add("b.zip", def, "250000-500000\r\n0-500000\r\n  500000-500000  \r\n\r\n");
    EXPECT_EQ(row.state, "Paused");
    EXPECT_EQ(row.size, "750/1,500KB");
    row = add("c.zip", def, "0-500000\r\n0-500000\r\n0-500000\r\n");
    EXPECT_EQ(row.size, "/1,500KB");
    // 499 and 500 bytes both read as nothing; 1,500 as 2.
    EXPECT_EQ(add("d", def, "499-1\r\n").size, "/1,500KB");
    EXPECT_EQ(add("e", def, "500-1\r\n").size, "/1,500KB");
    EXPECT_EQ(add("f", def, "1500-1\r\n").size, "2/1,500KB");
}

TEST_F(DownloadRowsTest, SumsPastTwoGigabytesStayExact) {
    const std::string def =
        "g\r\nDownloading\r\nhttp://h/g\r\n/tmp/\r\n2\r\n 6000000000 \r\n 3000000000 \r\n 0 \r\n";
    EXPECT_EQ(add("g", def, "3000000000-3000000000\r\n1500000000-3000000000\r\n").size,
              "4,500,000/6,000,000KB");
}

TEST_F(DownloadRowsTest, TrimsTheNameAndKeepsOddStatesWaiting) {
    Row row = add("h", "  h  \r\nSomething\r\nu\r\n/\r\n4\r\n");
    EXPECT_EQ(row.file, "h");
    EXPECT_EQ(row.state, "Waiting");
    EXPECT_EQ(row.size, "");
}

TEST_F(DownloadRowsTest, MalformedFilesStillGiveARowWithoutTouchingAnything) {
    const std::string good =
        "m\r\nDownloading\r\nhttp://h/m\r\n/tmp/\r\n2\r\n 1000 \r\n 500 \r\n 0 \r\n";
    EXPECT_EQ(add("empty", "").file, "empty");
    EXPECT_EQ(add("empty2", "").size, "???");
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
    // A pipe would block, a device never end, a giant file fill memory.
    mkfifo((folder.definitions() + "fifo.dwn").c_str(), 0600);
    EXPECT_EQ(add("fifo", good).size, "???");
    std::filesystem::create_symlink("/dev/zero", folder.definitions() + "zero.dwn");
    EXPECT_EQ(add("zero", good).size, "???");
    EXPECT_EQ(add("giant", "other\r\n" + std::string(2 << 20, 'x')).file, "giant");
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
    test::HeadlessUi ui;
    ScanDefinitions(ui, folder.definitions(), [](const std::string&) {});
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(defs)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".add-2.tmp", "keep.tmp"}));
}

}  // namespace
}  // namespace tandu
