#include <gtest/gtest.h>

#include "transfer/SplitHost.h"

namespace tandu {
namespace {

TEST(SplitHostTest, TakesTheTextBetweenTheSecondAndThirdSlash) {
    EXPECT_EQ(SplitHost("http://www.example.com/files/a.zip"), "example.com");
    EXPECT_EQ(SplitHost("http://example.com/a.zip"), "example.com");
    // The scheme is not examined.
    EXPECT_EQ(SplitHost("ftp://www.example.com/a.zip"), "example.com");
    EXPECT_EQ(SplitHost("x//example.com/"), "example.com");
    // A port stays part of the host text.
    EXPECT_EQ(SplitHost("http://example.com:8080/a.zip"), "example.com:8080");
    // Only the lower-case prefix is dropped, with whatever character follows it.
    EXPECT_EQ(SplitHost("http://WWW.example.com/a"), "WWW.example.com");
    EXPECT_EQ(SplitHost("http://wwwXexample.com/a"), "example.com");
    EXPECT_EQ(SplitHost("http://www2.example.com/a"), ".example.com");
}

TEST(SplitHostTest, GivesNothingWithoutAHost) {
    EXPECT_EQ(SplitHost(""), "");
    EXPECT_EQ(SplitHost("http://example.com"), "");
    EXPECT_EQ(SplitHost("www.example.com/a.zip"), "");
    EXPECT_EQ(SplitHost("http:///a.zip"), "");
    EXPECT_EQ(SplitHost("http://www/a.zip"), "");
    EXPECT_EQ(SplitHost("http://www./a.zip"), "");
}

TEST(SplitHostTest, RefusesURLsBeyondTheOldScanLimit) {
    const std::string head = "http://example.com/";
    const std::string fits = head + std::string(32767 - head.size(), 'a');
    EXPECT_EQ(SplitHost(fits), "example.com");
    EXPECT_EQ(SplitHost(fits + "a"), "");
}

}  // namespace
}  // namespace tandu
