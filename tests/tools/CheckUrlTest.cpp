#include <gtest/gtest.h>

#include "TestProgram.h"
#include "tools/CheckUrlTool.h"
#include "text/DisplayText.h"

#include <utility>

namespace tandu {
namespace {

using test::FakeFetcher;
using Kind = net::FetchRequest::Kind;

constexpr const char* kResultHead = "If the first line says 'OK', than the file exists.\r\n\r\n";

class CheckUrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.writeSettings();
        form = &program.load();
    }
    test::HeadlessUi& ui() { return program.host.ui; }
    test::FakeFetcher& fetcher() { return program.host.fetcher; }
    void check(const std::string& typed) {
        ui().inputAnswers.push_back(typed);
        form->menCheck.click();
    }
    // Connects the latest check and dismisses the "Host found!" box.
    test::FakeFetchRecord& connected() {
        FakeFetcher::end(fetcher().fetch(fetcher().count() - 1));
        return fetcher().fetch(fetcher().count() - 1);
    }

    test::TestProgram program;
    frmMain* form = nullptr;
};

TEST_F(CheckUrlTest, ConnectsThenSendsTheTypedTextAfterTheHostIsFoundAndShowsTheHead) {
    check(" http://www.example.com/a b ");  // kept exactly as typed, host and all
    EXPECT_EQ(ui().prompts, std::vector<std::string>{"Type the URL to verify"});
    ASSERT_EQ(fetcher().count(), 1u);
    EXPECT_EQ(fetcher().fetch(0).request.kind, Kind::Connect);
    EXPECT_EQ(fetcher().fetch(0).request.url.host(), "www.example.com");

    std::size_t fetchesWhileBoxOpen = 99;
    ui().onMessage = [&](const test::ShownMessage&) { fetchesWhileBoxOpen = fetcher().count(); };
    test::FakeFetchRecord& head = connected();
    ui().onMessage = nullptr;
    ASSERT_EQ(ui().messages.size(), 1u);
    EXPECT_EQ(ui().messages[0].title + ": " + ui().messages[0].text,
              "Host Found: Host found! Now checking if the file still exists");
    EXPECT_EQ(fetchesWhileBoxOpen, 1u);
    EXPECT_TRUE(fetcher().fetch(0).destroyed);
    ASSERT_EQ(fetcher().count(), 2u);
    EXPECT_EQ(head.request.kind, Kind::Head);
    EXPECT_TRUE(head.request.followRedirects);
    EXPECT_EQ(head.request.url.text(), " http://www.example.com/a b ");

    FakeFetcher::head(head, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    ASSERT_EQ(ui().messages.size(), 2u);
    EXPECT_EQ(
        ui().messages[1].title + ": " + ui().messages[1].text,
        "Result: " + std::string(kResultHead) + "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    EXPECT_TRUE(head.destroyed);
    EXPECT_EQ(form->checkTool().check().outcome(), UrlCheck::Outcome::Answered);
}

TEST_F(CheckUrlTest, EmptyCancelledMalformedOrUnsafePromptIsRefusedBeforeAnyConnection) {
    const std::string invalid = "Invalid hostname entered.";
    for (const auto& [typed, text] : std::vector<std::pair<std::string, std::string>>{
             {"", invalid},
             {"www.example.com/file.zip", invalid},
             {"http:///x", invalid},
             {"http://www.example.com/a\r\nX-Extra: 1", invalid},
             {"ftp://host/f",
              "Links starting with ftp:// cannot be downloaded; only http:// "
              "and https:// can."}}) {
        ui().messages.clear();
        check(typed);
        ASSERT_EQ(ui().messages.size(), 1u) << typed;
        EXPECT_EQ(ui().messages[0].title + ": " + ui().messages[0].text, "Error: " + text);
        EXPECT_EQ(ui().messages[0].icon, MsgIcon::Critical);
    }
    EXPECT_EQ(fetcher().count(), 0u);
}

TEST_F(CheckUrlTest, AnswerIsMadeSafeToShowAndCut) {
    EXPECT_EQ(DisplayText("a\r\nb\nc"), "a\r\nb\nc");
    EXPECT_EQ(DisplayText(std::string("\x1b[2Jx\0y\rz\t\x7f", 11)),
              "\\x1B[2Jx\\x00y\\x0Dz\\x09\\x7F");
    // Right-to-left override and isolate; other UTF-8 text stays as it is.
    EXPECT_EQ(DisplayText("a\xE2\x80\xAE"
                          "b\xE2\x81\xA7"
                          "c\xC3\xA9\xE2\x80\x94"),
              "a\\xE2\\x80\\xAE"
              "b\\xE2\\x81\\xA7"
              "c\xC3\xA9\xE2\x80\x94");
    EXPECT_EQ(DisplayText("caf\xc3\xa9\r"), "caf\xc3\xa9\\x0D");

    check("http://host/f");
    FakeFetcher::head(connected(), std::string("HTTP/1.0 200 OK\r\nX: \x1b]0;evil\x07\r\n"));
    EXPECT_EQ(ui().lastMessage().text,
              std::string(kResultHead) + "HTTP/1.0 200 OK\r\nX: \\x1B]0;evil\\x07\r\n");
    // A huge answer is cut.
    check("http://host/f");
    FakeFetcher::head(connected(), std::string(1 << 20, 'A'));
    EXPECT_EQ(ui().lastMessage().text,
              kResultHead + std::string(UrlCheck::kMaxAnswer, 'A') + "\r\n...");
}

// A failure shows its message; a new check ends the old fetch in any state,
// even while the old one's "Host found!" box is open.
TEST_F(CheckUrlTest, FailureShowsItsMessageAndANewCheckEndsTheOldFetch) {
    check("http://one/f");
    check("http://two/f");
    EXPECT_TRUE(fetcher().fetch(0).destroyed);
    connected();
    check("http://three/f");
    EXPECT_TRUE(fetcher().fetch(2).destroyed);
    FakeFetcher::fail(fetcher().fetch(3), net::FetchFailure::Kind::HostNotFound,
                      "Host not found: three:80.");
    EXPECT_EQ(ui().lastMessage().title + ": " + ui().lastMessage().text,
              "Error: Host not found: three:80.");
    EXPECT_EQ(ui().lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(form->checkTool().check().outcome(), UrlCheck::Outcome::Failed);
    check("http://four/f");
    bool again = true;
    ui().onMessage = [&](const test::ShownMessage& message) {
        if (std::exchange(again, false) && message.title == "Host Found") {
            check("http://five/f");
        }
    };
    FakeFetcher::end(fetcher().fetch(4));
    ASSERT_EQ(fetcher().count(), 6u);
    EXPECT_EQ(fetcher().fetch(5).request.kind, Kind::Connect);
    EXPECT_EQ(fetcher().fetch(5).request.url.host(), "five");
    // A late answer to an ended fetch shows nothing.
    FakeFetcher::head(fetcher().fetch(1), "HTTP/1.0 200 OK\r\n\r\n");
    EXPECT_EQ(ui().lastMessage().title, "Host Found");
}

}  // namespace
}  // namespace tandu
