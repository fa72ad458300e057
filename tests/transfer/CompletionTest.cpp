#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace tandu::test {

// The row reads "Completed" only once the file is durable, which is waited
// for beside the loop; the download's own files go after that, and no other
// process may take it until they are gone. A pause while the file is synced
// keeps every byte for the resume.
TEST(Completion, WaitsForTheDiskBesideTheLoopAndHoldsTheDownloadUntilItsFilesAreGone) {
    const std::string file = patterned(3000);
    EngineHarness h;
    FakeBackgroundWork& disk = h.program.host.background;
    disk.hold = true;
    const int row = h.addWaiting("f.bin", "1");
    h.start(row);
    h.answerFirst(sizeAnswer(3000));
    FakeFetcher::body(h.newest(), file);
    FakeFetcher::end(h.newest());
    EXPECT_EQ(h.state(row), "Downloading");
    ASSERT_EQ(disk.held(), 1u);

    disk.runHeld();  // the sync
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(readFile(h.targetPath("f.bin")), file);
    EXPECT_TRUE(fileExists(h.definitionPath("f.bin")));
    EXPECT_EQ(h.program.host.locks.held.count(h.definitionPath("f.bin")), 1u);
    disk.runHeld();  // the removal
    EXPECT_FALSE(fileExists(h.definitionPath("f.bin")));
    EXPECT_FALSE(fileExists(h.progressPath("f.bin")));
    EXPECT_TRUE(h.program.host.locks.held.empty());

    const int second = h.addWaiting("g.bin", "1");
    h.start(second);
    h.answerFirst(sizeAnswer(3000));
    FakeFetcher::body(h.newest(), file);
    FakeFetcher::end(h.newest());
    h.f->cmbPause.click();
    disk.runHeld();  // reports nothing: the pause came first
    EXPECT_EQ(h.state(second), "Paused");
    EXPECT_EQ(h.progress("g.bin"), "3000-3000 ");
    disk.hold = false;
    h.start(second);
    EXPECT_EQ(h.state(second), "Completed");
    EXPECT_EQ(readFile(h.targetPath("g.bin")), file);
    EXPECT_FALSE(fileExists(h.definitionPath("g.bin")));
}

}  // namespace tandu::test
