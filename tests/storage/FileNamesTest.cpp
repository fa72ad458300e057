#include <gtest/gtest.h>

#include "TempFolder.h"
#include "storage/FileNames.h"

namespace tandu {
namespace {

// Names as a browser gives them; plain ASCII paths keep the names they always had.
TEST(SafeDownloadName, TheLastPathSegmentDecodedWithoutQueryOrFragment) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"http://host/dir/archive.tar.gz", "archive.tar.gz"},
        {"http://host/  f.zip  ", "f.zip"},
        {"http://h/1\\2:3*4\"6<7>8|9", "1_2_3_4_6_7_8_9"},
        {"http://lab.test/download?id=7", "download"},
        {"http://h/f.bin?token=abc123&expires=1767225600", "f.bin"},
        {"http://h/f.bin#sha256=5f2b0e", "f.bin"},
        {"http://h/r%C3%A9sum%C3%A9%20final%202026.pdf", "résumé final 2026.pdf"},
        // Not UTF-8 once decoded: the escapes stay.
        {"http://h/caf%E9.txt", "caf%E9.txt"},
        {"http://h/a%2Fb%00c%0Ad%C2%85e", "a_b_c_d_e"},
        {"http://h/100%.txt", "100%.txt"},
        // Nothing to name it by: the host, as a browser saves a page.
        {"http://u:p@www.example.org:8080/dir/", "www.example.org.html"},
        {"https://[::1]/", "[__1].html"},
        {"http://host/..", "host.html"},
        {"http://host/%20%20", "host.html"},
        // No address at all.
        {"", "unkonwn"},
        {"no-slash-at-all", "unkonwn"},
        {"nohost/f.zip", "f.zip"},
    };
    for (const auto& [url, name] : cases) {
        EXPECT_EQ(SafeDownloadName(url), name) << url;
    }
    const std::string longName = std::string(400, 'a') + ".zip";
    const std::string safe = SafeDownloadName("http://host/" + longName);
    EXPECT_LE(safe.size(), 240u);
    EXPECT_EQ(safe.substr(safe.size() - 4), ".zip");
    // A cut that ends in a blank is trimmed: the row shows the name trimmed.
    EXPECT_EQ(SafeDownloadName("http://h/" + std::string(239, 'b') + "  c"), std::string(239, 'b'));
    // A cut never splits a character.
    std::string escaped = "x", accents = "x";
    for (int i = 0; i < 200; ++i) {
        escaped += "%C3%A9";
        accents += i < 119 ? "\u00e9" : "";
    }
    EXPECT_EQ(SafeDownloadName("http://h/" + escaped), accents);
}

TEST(SafeServerName, ReducedToAPlainLastComponent) {
    EXPECT_EQ(SafeServerName("..\\..\\x.exe"), "x.exe");
    EXPECT_EQ(SafeServerName("dir/"), "");
    EXPECT_EQ(SafeServerName("a\rb"), "a_b");
}

TEST(FileExists, OnlyReadableRegularFiles) {
    test::TempFolder folder;
    EXPECT_FALSE(FileExists(folder / "missing"));
    EXPECT_FALSE(FileExists(folder.path()));  // a folder is not a file
    EXPECT_FALSE(FileExists(""));
    test::writeFile(folder / "f", "x");
    EXPECT_TRUE(FileExists(folder / "f"));
}

}  // namespace
}  // namespace tandu
