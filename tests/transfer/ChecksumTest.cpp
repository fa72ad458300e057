#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "services/AddService.h"
#include "services/Application.h"
#include "transfer/AnnouncedDigest.h"

namespace tandu {
namespace {

using test::EngineHarness;

// patterned(3000) hashes to these.
constexpr const char* kSha256 = "3d194f7caa8e1b4c4b472bc446608f9421b091d10d4199a454e91de7f3b2d786";
constexpr const char* kMd5 = "b250c8439aa61645df0cc59389612b4a";
constexpr const char* kSha256Base64 = "PRlPfKqOG0xLRyvERmCPlCGwkdENQZmkVOkd5/Oy14Y=";

// Runs row's download of `file` over two pieces up to its last byte.
void fetchAll(EngineHarness& h, int row, const std::string& file,
              const std::string& firstHeaders = "") {
    h.start(row);
    const auto size = static_cast<std::int64_t>(file.size());
    h.answerFirst("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-" +
                  std::to_string(size - 1) + "/" + std::to_string(size) + "\r\n" + firstHeaders +
                  "\r\n");
    test::serve(h.ws(1), file);
    test::serve(h.ws(2), file);
}

TEST(Checksum, CompletedOnlyWhenTheFileMatchesAndAMismatchNamesBothValuesAndKeepsTheFile) {
    EngineHarness h;
    const std::string file = test::patterned(3000);
    // Given in the URL's fragment: checked after the last byte, while the row
    // shows it; a pause there keeps every byte, and the resume checks again.
    const int right = h.addWaiting(
        "right.bin", "2", "http://www.example.org/right.bin#sha256=" + std::string(kSha256));
    fetchAll(h, right, file);
    EXPECT_EQ(h.state(right), "Verifying");
    h.f->cmbPause.click();
    EXPECT_EQ(h.state(right), "Paused");
    h.program.host.runHashing();
    EXPECT_EQ(h.state(right), "Paused");
    h.start(right);
    EXPECT_EQ(h.state(right), "Verifying");
    h.program.host.runHashing();
    EXPECT_EQ(h.state(right), "Completed");
    EXPECT_FALSE(test::fileExists(h.definitionPath("right.bin")));
    EXPECT_TRUE(h.messages().empty());
    // Only from the tray does the icon say how a download ended.
    const auto& notices = h.program.host.tray.notifications;
    EXPECT_TRUE(notices.empty());
    h.f->menTray.click();

    // Stored with the definition (as Add URL or the row's menu does), wrong.
    const int wrong = h.addWaiting("wrong.bin", "2");
    DefinitionFile::setExtra(h.definitionPath("wrong.bin"), "Checksum",
                             "md5=00112233445566778899aabbccddeeff");
    fetchAll(h, wrong, file);
    h.program.host.runHashing();
    EXPECT_EQ(h.state(wrong), "Error");
    ASSERT_EQ(h.messages().size(), 1u);
    EXPECT_NE(h.messages()[0].text.find("Expected MD5: 00112233445566778899aabbccddeeff"),
              std::string::npos);
    EXPECT_NE(h.messages()[0].text.find(std::string("Found MD5: ") + kMd5), std::string::npos);
    EXPECT_EQ(test::readFile(h.targetPath("wrong.bin")), file);
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("wrong.bin"))->state, "Downloading");
    EXPECT_EQ(h.progress("wrong.bin"), "1500-1500 1500-1500 ");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title + ": " + notices[0].text,
              "Download failed: \"wrong.bin\" failed. Open the window for the reason.");
}

TEST(Checksum, TheServersDigestCountsWhenNoneWasGivenAndIsKeptForAResume) {
    EngineHarness h;
    const std::string file = test::patterned(3000);
    const int row = h.addWaiting("f.bin", "2");
    fetchAll(h, row, file, "Digest: md5=AAAA, SHA-256=" + std::string(kSha256Base64) + "\r\n");
    EXPECT_EQ(h.state(row), "Verifying");
    h.f->cmbPause.click();
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("f.bin"))->extras.at("Checksum"),
              std::string("sha256=") + kSha256);
    // "none" from the row's menu outweighs it.
    ASSERT_FALSE(h.program.app->application().setChecksum(h.f->downloads().at(row), std::nullopt));
    h.f->menTray.click();
    h.start(row);
    EXPECT_EQ(h.state(row), "Completed");
    ASSERT_EQ(h.program.host.tray.notifications.size(), 1u);
    EXPECT_EQ(h.program.host.tray.notifications[0].text, "\"f.bin\" is complete.");
}

TEST(Checksum, ServersAnnounceInTwoHeaderFormsTheStrongestKnownOneWins) {
    const auto digest = [](const std::string& headers) {
        return AnnouncedDigest(net::AnswerHead::parse("HTTP/1.1 200 OK\r\n" + headers + "\r\n",
                                                      *net::Url::parse("http://h/f")));
    };
    const std::string sha512 =
        "/YJYacGn2A9SVMYjzUKyCnxHQRIjgNIcnTPyDGTCt+s5+QwqLqVHh5ynYtozmRUfW9wDevHaoR4O0QwFYQovnw==";
    EXPECT_EQ(digest("Repr-Digest: sha-256=:" + std::string(kSha256Base64) +
                     ":, sha-512=:" + sha512 + ":\r\n")
                  ->text(),
              "sha512=fd825869c1a7d80f5254c623cd42b20a7c4741122380d21c9d33f20c64c2b7eb39f90c2a2e"
              "a547879ca762da3399151f5bdc037af1daa11e0ed10c05610a2f9f");
    // Repr-Digest before Digest; unknown, cut and malformed values are passed over.
    EXPECT_EQ(digest("Digest: MD5=" + std::string("slDIQ5qmFkXfDMWTiWErSg==") +
                     "\r\nRepr-Digest: sha-256=:" + kSha256Base64 + ":\r\n")
                  ->text(),
              std::string("sha256=") + kSha256);
    EXPECT_EQ(digest("Digest: md5=slDIQ5qmFkXfDMWTiWErSg==\r\n")->text(),
              std::string("md5=") + kMd5);
    for (const std::string& bad : std::vector<std::string>{
             "Digest: UNIXsum=30637\r\n", "Digest: SHA-256=PRlPfKqOG0xLRyvE\r\n",
             "Repr-Digest: sha-256=" + std::string(kSha256Base64) + "\r\n",
             "Digest: SHA-256=PRl*fKqOG0xLRyvERmCPlCGwkdENQZmkVOkd5/Oy14Y=\r\n",
             "X-Digest: md5=a\r\n"}) {
        EXPECT_FALSE(digest(bad)) << bad;
    }
}

TEST(Checksum, AFragmentChecksumNeverReachesTheNameAndAGivenOneIsChecked) {
    EngineHarness h;
    AddService add(h.program.app->application());
    const std::string url = "http://h/f.iso#sha256=" + std::string(kSha256);
    EXPECT_FALSE(add.addUrl(url, h.downloads(), "2").message);
    EXPECT_EQ(h.f->lstDown.text(0), "f.iso");
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("f.iso"))->url, url);
    // No fragment reaches the name; a given checksum wins.
    EXPECT_FALSE(
        add.addUrl("http://h/g.iso#part", h.downloads(), "2", nullptr, "SHA-1=" + std::string(40, 'A'))
            .message);
    EXPECT_EQ(h.f->lstDown.text(1), "g.iso");
    EXPECT_EQ(DefinitionFile::read(h.definitionPath("g.iso"))->extras.at("Checksum"),
              "sha1=" + std::string(40, 'a'));
    for (const char* bad : {"sha256=abc", "crc32=12345678", "sha256"}) {
        const auto outcome = add.addUrl("http://h/x.iso", h.downloads(), "2", nullptr, bad);
        ASSERT_TRUE(outcome.message) << bad;
        EXPECT_EQ(outcome.message->title, "Invalid checksum");
    }
    EXPECT_EQ(h.f->lstDown.rowCount(), 2);
}

}  // namespace
}  // namespace tandu
