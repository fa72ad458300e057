#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TempFolder.h"
#include "transfer/TargetFile.h"

namespace tandu {
namespace {

TEST(TargetFile, WritesInPlaceAndNeverReplacesOrFollowsWhatIsThere) {
    test::TempFolder folder;
    const std::string path = folder / "t.bin";
    test::writeFile(path, "old contents that are long");
    TargetFile file;
    std::string reason;
    ASSERT_TRUE(file.open(path, false, &reason));
    ASSERT_TRUE(file.writeAt(4, "NEW", 3, &reason));
    file.close();
    EXPECT_EQ(test::readFile(path), "old NEWtents that are long");
    // A fresh start never cuts a file the user already had.
    EXPECT_TRUE(TargetFile::occupied(path));
    EXPECT_FALSE(file.open(path, true, &reason));
    EXPECT_EQ(reason, "a file of that name is already there, and it is left as it is");
    EXPECT_EQ(test::readFile(path), "old NEWtents that are long");

    // A link at the target name is not written through, fresh or resumed.
    const std::string victim = folder / "victim";
    test::writeFile(victim, "keep");
    std::filesystem::create_symlink(victim, folder / "link");
    EXPECT_FALSE(file.open(folder / "link", false, &reason));
    EXPECT_EQ(reason, "it is a symbolic link, which is not followed");
    EXPECT_FALSE(file.open(folder / "link", true, &reason));
    std::filesystem::create_symlink(folder / "nowhere", folder / "dangling");
    EXPECT_TRUE(TargetFile::occupied(folder / "dangling"));
    EXPECT_FALSE(file.open(folder / "dangling", true, &reason));
    EXPECT_FALSE(test::fileExists(folder / "nowhere"));
    EXPECT_EQ(test::readFile(victim), "keep");

    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(file.open(folder / "fifo", false, &reason));  // and does not block
    EXPECT_EQ(reason, "it is not a regular file");
    EXPECT_FALSE(file.open(folder / "gone/t.bin", false, &reason));
    EXPECT_EQ(reason, "No such file or directory");

    ASSERT_TRUE(file.open(folder / "new.bin", true, &reason));
    ASSERT_TRUE(file.writeAt(3, "xy", 2, &reason));
    EXPECT_EQ(file.size(), 5);
    file.close();
    EXPECT_EQ(test::readFile(folder / "new.bin"), std::string("\0\0\0xy", 5));
}

TEST(TargetFile, TellsWhenItsPathNoLongerNamesIt) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "out");
    const std::string path = folder / "out/t.bin";
    TargetFile file;
    std::string reason;
    ASSERT_TRUE(file.open(path, true, &reason));
    EXPECT_TRUE(file.stillNamed());
    std::filesystem::rename(path, folder / "moved");  // replaced by another file
    test::writeFile(path, "other");
    EXPECT_FALSE(file.stillNamed());
    ASSERT_TRUE(file.open(path, false, &reason));
    EXPECT_TRUE(file.stillNamed());
    std::filesystem::remove_all(folder / "out");  // the whole folder
    EXPECT_TRUE(file.writeAt(0, "lost", 4, &reason));
    EXPECT_FALSE(file.stillNamed());
    file.close();
    EXPECT_FALSE(file.stillNamed());
}

TEST(TargetFile, CountsOnlyBytesTheFileHolds) {
    test::TempFolder folder;
    TargetFile file;
    std::string reason;
    ASSERT_TRUE(file.open(folder / "t.bin", true, &reason));
    EXPECT_EQ(file.heldFrom(0, 100), 0);
    // Piece 1 got 10 bytes; piece 2 (from 1 MB) was written whole: the file is
    // long, but piece 1 past its 10 bytes is a hole, never written.
    const std::string block(4096, 'x');
    ASSERT_TRUE(file.writeAt(0, block.data(), 10, &reason));
    constexpr std::int64_t kSecond = 1 << 20;
    ASSERT_TRUE(file.writeAt(kSecond, block.data(), block.size(), &reason));
    EXPECT_EQ(file.heldFrom(kSecond, 4096), 4096);
    EXPECT_EQ(file.heldFrom(kSecond, 9999), 4096);  // past the end
    EXPECT_EQ(file.heldFrom(kSecond + 4096, 10), 0);
    const std::int64_t first = file.heldFrom(0, kSecond);
    struct stat info {};
    ASSERT_EQ(stat((folder / "t.bin").c_str(), &info), 0);
    if (info.st_blocks * 512 < kSecond) {  // the file system keeps holes
        EXPECT_LT(first, kSecond);
    }
    EXPECT_GE(first, 10);
}

}  // namespace
}  // namespace tandu
