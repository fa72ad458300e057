#include <gtest/gtest.h>

#include "TestProgram.h"
#include "chrome/CheckUrlTool.h"
#include "chrome/DisplayText.h"

namespace tandu {
namespace {

using test::FakeSocketFactory;

constexpr const char* kResultHead = "If the first line says 'OK', than the file exists.\r\n\r\n";

class CheckUrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.writeSettings();
        form = &program.load();
        // The window's own sockets (the probe connection) come first.
        base = program.host.sockets.created().size();
    }
    test::HeadlessUi& ui() { return program.host.ui; }
    test::FakeSocketFactory& sockets() { return program.host.sockets; }
    void check(const std::string& typed) {
        ui().inputAnswers.push_back(typed);
        form->menCheck.click();
    }

    test::TestProgram program;
    frmMain* form = nullptr;
    std::size_t base = 0;
};

TEST_F(CheckUrlTest, SendsTheTypedTextAfterTheHostIsFoundAndShowsTheFirstPiece) {
    check(" http://www.example.com/a b ");  // kept exactly as typed
    EXPECT_EQ(ui().prompts, std::vector<std::string>{"Type the URL to verify"});
    ASSERT_EQ((sockets().created().size() - base), 1u);
    test::FakeSocketRecord& wsk = sockets().socket(base + 0);
    ASSERT_EQ(wsk.connects.size(), 1u);
    EXPECT_EQ(wsk.connects[0], std::make_pair(std::string("example.com"), 80));

    std::string sentWhileBoxOpen = "unset";
    ui().onMessage = [&](const test::ShownMessage&) { sentWhileBoxOpen = wsk.sent; };
    FakeSocketFactory::connect(wsk);
    ui().onMessage = nullptr;
    ASSERT_EQ(ui().messages.size(), 1u);
    EXPECT_EQ(ui().messages[0].text, "Host found! Now checking if the file still exists");
    EXPECT_EQ(sentWhileBoxOpen, "");
    EXPECT_EQ(wsk.sent, "HEAD  http://www.example.com/a b  HTTP/1.0\r\n\r\n");
    EXPECT_EQ(wsk.sends.size(), 1u);

    FakeSocketFactory::data(wsk, "HTTP/1.0 200 OK\r\n");
    FakeSocketFactory::data(wsk, "Content-Length: 5\r\n\r\n");
    ASSERT_EQ(ui().messages.size(), 2u);
    EXPECT_EQ(ui().messages[1].text, std::string(kResultHead) + "HTTP/1.0 200 OK\r\n");
    EXPECT_TRUE(wsk.destroyed);
    EXPECT_EQ(form->checkTool().outcome(), CheckUrlTool::Outcome::Answered);
}

TEST_F(CheckUrlTest, EmptyCancelledOrUnsafePromptIsAnInvalidHost) {
    for (const char* typed : {"", "www.example.com/file.zip", "http://www/x",
                              "http://www.example.com/a\r\nX-Extra: 1"}) {
        ui().messages.clear();
        check(typed);
        ASSERT_EQ(ui().messages.size(), 1u) << typed;
        EXPECT_EQ(ui().messages[0].text, "Invalid hostname entered.");
    }
    EXPECT_EQ(sockets().created().size(), base);
}

TEST_F(CheckUrlTest, AnswerIsMadeSafeToShow) {
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
    test::FakeSocketRecord& wsk = sockets().socket(base + 0);
    FakeSocketFactory::connect(wsk);
    FakeSocketFactory::data(wsk, std::string("HTTP/1.0 200 OK\r\nX: \x1b]0;evil\x07\r\n"));
    EXPECT_EQ(ui().lastMessage().text,
              std::string(kResultHead) + "HTTP/1.0 200 OK\r\nX: \\x1B]0;evil\\x07\r\n");
}

TEST_F(CheckUrlTest, AHugeAnswerIsCut) {
    check("http://host/f");
    test::FakeSocketRecord& wsk = sockets().socket(base + 0);
    FakeSocketFactory::connect(wsk);
    FakeSocketFactory::data(wsk, std::string(1 << 20, 'A'));
    EXPECT_EQ(ui().lastMessage().text,
              kResultHead + std::string(CheckUrlTool::kMaxAnswer, 'A') + "\r\n...");
    // A server that hangs up without a word is not an answer.
    check("http://host/f");
    FakeSocketFactory::connect(sockets().socket(base + 1));
    FakeSocketFactory::peerClose(sockets().socket(base + 1));
    EXPECT_EQ(form->checkTool().outcome(), CheckUrlTool::Outcome::Closed);
}

TEST_F(CheckUrlTest, ANewCheckClosesTheOldSocketInAnyState) {
    // Connecting, connected, failed: each time the old socket goes first.
    check("http://one/f");
    check("http://two/f");
    EXPECT_TRUE(sockets().socket(base + 0).destroyed);
    EXPECT_GE(sockets().socket(base + 0).closes, 1);
    FakeSocketFactory::connect(sockets().socket(base + 1));
    check("http://three/f");
    EXPECT_TRUE(sockets().socket(base + 1).destroyed);
    FakeSocketFactory::error(sockets().socket(base + 2), 10061, "Connection refused");
    check("http://four/f");
    EXPECT_TRUE(sockets().socket(base + 2).destroyed);
    test::FakeSocketRecord& latest = sockets().socket(base + 3);
    EXPECT_EQ(latest.connects[0].first, "four");
    FakeSocketFactory::connect(latest);
    EXPECT_EQ(latest.sent, "HEAD http://four/f HTTP/1.0\r\n\r\n");
}

TEST_F(CheckUrlTest, ACheckReplacedWhileItsBoxIsOpenSendsNothing) {
    check("http://one/f");
    test::FakeSocketRecord& first = sockets().socket(base + 0);
    bool again = true;
    ui().onMessage = [&](const test::ShownMessage& message) {
        if (again && message.title == "Host Found") {
            again = false;
            check("http://two/f");
        }
    };
    FakeSocketFactory::connect(first);
    EXPECT_EQ(first.sent, "");
    EXPECT_EQ(sockets().socket(base + 1).connects[0].first, "two");
}

}  // namespace
}  // namespace tandu
