#include <gtest/gtest.h>

#include "TempFolder.h"
#include "storage/DeferredSyncs.h"
#include "storage/TextFile.h"

namespace tandu {
namespace {

// A staged text leaves the older one whole until its step runs; steps run in
// the order given and once, and one that fails stays, with those after it,
// for the next run.
TEST(DeferredSyncs, StagedTextsGoInPlaceInOrderOnceAndAFailureWaits) {
    test::TempFolder folder;
    const std::string path = folder.definitions() + "f.def";
    test::writeFile(path, "old\r\n");
    auto staged = textfile::stageLinesAtomically(path, {"new"});
    ASSERT_TRUE(staged);
    EXPECT_EQ(test::readFile(path), "old\r\n");

    DeferredSyncs syncs;
    std::vector<std::string> order;
    bool diskFull = true;
    syncs.addFolder(folder.definitions());
    syncs.addStep(std::move(*staged));
    syncs.addStep([&](std::string* reason) {
        if (diskFull) {
            *reason = "No space left on device";
            return false;
        }
        order.push_back("after");
        return true;
    });
    syncs.addStep([&](std::string*) {
        order.push_back("last");
        return true;
    });
    EXPECT_TRUE(syncs.holdsStep());
    std::string reason;
    EXPECT_FALSE(syncs.run(&reason));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(test::readFile(path), "new\r\n");
    EXPECT_FALSE(test::fileExists(path + ".tmp"));
    EXPECT_TRUE(order.empty());

    diskFull = false;
    EXPECT_TRUE(syncs.run(&reason));
    EXPECT_TRUE(syncs.run(&reason));
    EXPECT_EQ(order, (std::vector<std::string>{"after", "last"}));
    EXPECT_FALSE(syncs.holdsStep());
}

}  // namespace
}  // namespace tandu
