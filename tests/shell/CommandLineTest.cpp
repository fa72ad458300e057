#include <gtest/gtest.h>

#include "TestProgram.h"

namespace tandu {
namespace {

TEST(CommandLine, ArgumentsWithBlanksAreQuoted) {
    EXPECT_EQ(modMain::commandLineFromArguments({"-url http://host/f.zip"}),
              "\"-url http://host/f.zip\"");
    EXPECT_EQ(modMain::commandLineFromArguments({"-url", "http://host/f.zip"}),
              "-url http://host/f.zip");
    EXPECT_EQ(modMain::commandLineFromArguments({}), "");
}

TEST(CommandLine, MarkerAtPositionTwoYieldsTheUrl) {
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url http://host/f.zip\""), "http://host/f.zip");
    // Without quotes the marker stands at position 1: no URL.
    EXPECT_FALSE(modMain::urlFromCommandLine("-url http://host/f.zip"));
    // Case-sensitive.
    EXPECT_FALSE(modMain::urlFromCommandLine("\"-URL http://host/f.zip\""));
    EXPECT_FALSE(modMain::urlFromCommandLine(""));
    // Too short to hold a URL: an empty one, never a crash.
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url\""), "");
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url \""), "");
    EXPECT_EQ(modMain::urlFromCommandLine("\"-url x\""), "x");
}

}  // namespace
}  // namespace tandu
