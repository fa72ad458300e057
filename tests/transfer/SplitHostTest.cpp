#include <gtest/gtest.h>

#include "transfer/SplitHost.h"

namespace tandu {
namespace {

TEST(SplitHostTest, TakesTheTextBetweenTheSecondAndThirdSlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://www.example.com/files/a.zip", "example.com"},
        {"http://example.com/a.zip", "example.com"},
        // The scheme is not examined; a port stays part of the host text.
        {"ftp://www.example.com/a.zip", "example.com"},
        {"x//example.com/", "example.com"},
        {"http://example.com:8080/a.zip", "example.com:8080"},
        // Only the lower-case prefix is dropped, with whatever character follows it.
        {"http://WWW.example.com/a", "WWW.example.com"},
        {"http://wwwXexample.com/a", "example.com"},
        {"http://www2.example.com/a", ".example.com"},
        // No host.
        {"", ""},
        {"http://example.com", ""},
        {"www.example.com/a.zip", ""},
        {"http:///a.zip", ""},
        {"http://www/a.zip", ""},
        {"http://www./a.zip", ""},
    };
    for (const auto& [url, host] : cases) {
        EXPECT_EQ(SplitHost(url), host) << url;
    }
}

TEST(SplitHostTest, RefusesURLsBeyondTheOldScanLimit) {
    const std::string head = "http://example.com/";
    const std::string fits = head + std::string(32767 - head.size(), 'a');
    EXPECT_EQ(SplitHost(fits), "example.com");
    EXPECT_EQ(SplitHost(fits + "a"), "");
}

}  // namespace
}  // namespace tandu
