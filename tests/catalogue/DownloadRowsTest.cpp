#include <gtest/gtest.h>

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
    // Nothing was rewritten or removed.
    EXPECT_EQ(test::readFile(folder.definitions() + "baddwn.dwn"), "x-500\r\n");
    EXPECT_EQ(test::readFile(folder.definitions() + "nodwn.def"), good);
}

TEST(ScanDefinitions, OneRowPerDefinitionFileInListingOrder) {
    test::TestProgram program;
    program.writeSettings();
    const std::string folder = program.folder.definitions();
    for (int i = 0; i < 300; ++i) {
        const std::string name = "file" + std::to_string(i) + ".zip";
        writeFile(folder + name + ".def", name + "\r\nWaiting\r\nhttp://h/x\r\n/tmp/\r\n4\r\n");
    }
    writeFile(folder + "notes.txt", "not a definition");
    writeFile(folder + "file1.zip.dwn", "0-1\r\n");
    std::filesystem::create_directory(folder + "folder.def");
    std::vector<std::string> listed;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.ends_with(".def")) {
            listed.push_back(name.substr(0, name.size() - 4));
        }
    }
    frmMain& main = program.load();
    ASSERT_EQ(main.lstDown.rowCount(), 300);
    for (int row = 0; row < 300; ++row) {
        EXPECT_EQ(main.lstDown.text(row), listed[static_cast<std::size_t>(row)]) << row;
    }
    // The list paints while it fills, but not after every file: a repaint
    // per row made a start over thousands of rows take minutes.
    EXPECT_GE(program.host.ui.pendingEventCalls, 3);
    EXPECT_LE(program.host.ui.pendingEventCalls, 100);
}

TEST(ScanDefinitions, MissingOrEmptyFolderGivesNoRowsAndNoMessage) {
    test::TestProgram program;
    program.writeSettings();
    std::filesystem::remove_all(program.folder.definitions());
    frmMain& main = program.load();
    EXPECT_EQ(main.lstDown.rowCount(), 0);
    EXPECT_TRUE(program.host.ui.messages.empty());
}

}  // namespace
}  // namespace tandu
