#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "TempFolder.h"
#include "text/NumberText.h"
#include "text/FormatTimeLeft.h"
#include "storage/ProgressFile.h"
#include "storage/ProgressWriter.h"
#include "services/ShutdownAction.h"

namespace tandu {
namespace {

TEST(ProgressFile, ReadingNeverCountsWhatCannotBeThere) {
    test::TempFolder folder;
    const std::string path = folder.definitions() + "f.dwn";
    const PiecePlan plan = PiecePlan::make(1000, 3);
    // Empty, blank-padded, past the piece, not a number, negative, missing.
    test::writeFile(path, "\r\n 10-999 \r\n");
    EXPECT_EQ(ProgressFile::read(path, plan), (std::vector<std::int64_t>{0, 10, 0}));
    test::writeFile(path, "5000-333\nabc-333\n-4-334\n");
    EXPECT_EQ(ProgressFile::read(path, plan), (std::vector<std::int64_t>{333, 0, 0}));
    test::writeFile(path, "333-333\r\n\r\n100-334\r\n");
    EXPECT_EQ(ProgressFile::read(path, plan), (std::vector<std::int64_t>{333, 0, 100}));
    EXPECT_FALSE(ProgressFile::read(folder.definitions() + "none.dwn", plan));
}

// The claim counts nothing, in a file of its own: an older file's counts,
// durable in place, can never come back under the claimed name.
TEST(ProgressFile, AClaimCountsNothingInANewFileLeavingTheOlderOneAlone) {
    test::TempFolder folder;
    const std::string path = folder.definitions() + "f.dwn";
    const std::string older = folder.definitions() + "older";
    test::writeFile(path, "500-500\r\n500-500\r\n");
    std::filesystem::create_hard_link(path, older);
    ASSERT_TRUE(ProgressFile::claim(path, PiecePlan::make(1000, 2)));
    EXPECT_EQ(test::readFile(path), "0-500\r\n0-500\r\n");
    EXPECT_EQ(test::readFile(older), "500-500\r\n500-500\r\n");
    std::string reason;
    EXPECT_FALSE(ProgressFile::claim(folder.definitions() + "none/f.dwn", PiecePlan::make(1, 1),
                                     &reason));
    EXPECT_FALSE(reason.empty());
}

TEST(FormatTimeLeft, HoursMinutesSecondsWithoutLeadingZerosEvenNear64Bits) {
    const std::vector<std::pair<std::int64_t, std::string>> cases = {
        {59, "0:0:59"},
        {60, "0:1:0"},
        {3599, "0:59:59"},
        {3725, "1:2:5"},
        {90061, "25:1:1"},
        {-5, "0:0:-5"},
        {NumberText::R(static_cast<double>(INT64_MAX)), "2562047788015215:30:7"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(FormatTimeLeft(seconds), text);
    }
}

TEST(ShutdownAction, ScriptForEachSystem) {
    const auto windows = ShutdownAction::compose("C:/Tools", std::string("C:\\WINDOWS"));
    EXPECT_EQ(windows.path, "C:/Tools/shutdown.bat");
    EXPECT_EQ(windows.contents,
              "C:\\WINDOWS\\system32\\shutdown.exe -s -t 05\r\ndel \"C:/Tools\\shutdown.bat\"\r\n");
    EXPECT_EQ(windows.launch.program, "C:/Tools/shutdown.bat");

    const auto posix = ShutdownAction::compose("/opt/it's here", std::nullopt);
    EXPECT_EQ(posix.path, "/opt/it's here/shutdown.sh");
    EXPECT_EQ(posix.contents,
              "sleep 5; /sbin/shutdown -P now\nrm -f -- '/opt/it'\\''s here/shutdown.sh'\n");
    EXPECT_EQ(posix.launch.program, "/bin/sh");
    EXPECT_EQ(posix.launch.arguments, std::vector<std::string>{"/opt/it's here/shutdown.sh"});
}

// The target is synced before the progress counting it is written; in batches, beside the caller.
TEST(ProgressWriter, CountsOnlyWhatTheSyncMadeDurableBatchedBesideTheLoop) {
    test::TempFolder folder;
    const std::string path = folder.definitions() + "f.dwn";
    const PiecePlan plan = PiecePlan::make(100000, 2);
    const auto now = std::chrono::steady_clock::now();
    ProgressWriter writer({std::chrono::hours(1), 1000});
    std::vector<std::string> seen;  // the file when the target was synced
    std::atomic<bool> release{true};
    std::string error, reason;
    const ProgressWriter::Sync sync = [&](std::string* reason) {
        seen.push_back(test::fileExists(path) ? test::readFile(path) : "");
        while (!release) {
            std::this_thread::yield();
        }
        return error.empty() || (reason && (*reason = error, false));
    };
    ASSERT_TRUE(writer.replace(sync, path, plan, {0, 0}, nullptr));
    ASSERT_TRUE(writer.advance(sync, path, plan, {500, 0}, now, nullptr));  // below the batch
    release = false;
    ASSERT_TRUE(writer.advance(sync, path, plan, {900, 300}, now, nullptr));
    EXPECT_EQ(test::readFile(path), "0-50000\r\n0-50000\r\n");  // the caller did not wait
    release = true;
    ASSERT_TRUE(writer.settle(nullptr));
    EXPECT_EQ(seen, (std::vector<std::string>{"", "0-50000\r\n0-50000\r\n"}));
    EXPECT_EQ(test::readFile(path), "900-50000\r\n300-50000\r\n");
    // A failed sync: the file keeps the last durable counts, and says why.
    error = "Input/output error";
    ASSERT_TRUE(writer.advance(sync, path, plan, {5000, 300}, now, nullptr));
    EXPECT_FALSE(writer.settle(&reason) || writer.replace(sync, path, plan, {6000, 0}, nullptr));
    EXPECT_EQ(reason + test::readFile(path), error + "900-50000\r\n300-50000\r\n");
}

}  // namespace
}  // namespace tandu
