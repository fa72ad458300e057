#include <gtest/gtest.h>

#include <sstream>

#include "HostRequest.h"

namespace tandu {
namespace {

std::string framed(const std::string& json) {
    const auto length = static_cast<std::uint32_t>(json.size());
    return std::string(reinterpret_cast<const char*>(&length), 4) + json;
}

HostRequest readBytes(const std::string& bytes) {
    std::istringstream in(bytes);
    return HostRequest::read(in);
}

TEST(HostRequest, TakesOneWebAddressAndRefusesEverythingElse) {
    const std::string longest = "http://h/" + std::string(HostRequest::kMaxAddress - 9, 'a');
    struct Case {
        std::string json;
        std::string address;  // empty: refused
    };
    const Case cases[] = {
        {R"({"url":"https://example.com/a%20b.zip?x=1#y"})", "https://example.com/a%20b.zip?x=1#y"},
        {" {\r\n\t\"url\" : \"HTTP://h/f\" } ", "HTTP://h/f"},
        {R"({"url":"http:\/\/h\/\u00e9\ud83d\ude00"})", "http://h/\xc3\xa9\xf0\x9f\x98\x80"},
        {"{\"url\":\"" + longest + "\"}", longest},
        {"{\"url\":\"" + longest + "a\"}", ""},
        {R"({"url":"file:///etc/passwd"})", ""},
        {R"x({"url":"javascript:alert(1)"})x", ""},
        {R"({"url":"ftp://h/f"})", ""},
        {R"({"url":"http://"})", ""},
        {R"({"url":"http:///etc"})", ""},
        {R"({"url":"http://h/a\nb"})", ""},
        {"{\"url\":\"http://h/a\nb\"}", ""},
        {R"({"url":"http://h/a\u0000b"})", ""},
        {R"({"url":"http://h/a b"})", ""},
        {R"({"url":"http://h/\u2028"})", ""},
        {R"({"url":"http://h/\u0085"})", ""},
        {R"({"url":"http://h/\ud800"})", ""},
        {"{\"url\":\"http://h/\xc3\"}", ""},
        {"{\"url\":\"http://h/\xc0\xaf\"}", ""},
        {R"({"url":"http://h/","url":"http://h/"})", ""},
        {R"({"url":"http://h/","cookie":"x"})", ""},
        {R"({"href":"http://h/"})", ""},
        {R"({"url":["http://h/"]})", ""},
        {R"(["http://h/"])", ""},
        {R"({"url":"http://h/"} x)", ""},
        {R"({"url":"http://h/")", ""},
        {"", ""},
        {"not json", ""},
    };
    for (const Case& c : cases) {
        const HostRequest request = readBytes(framed(c.json));
        EXPECT_EQ(request.accepted(), !c.address.empty()) << c.json << ": " << request.error();
        EXPECT_EQ(request.address(), c.address) << c.json;
    }
}

TEST(HostRequest, RefusesBadFramesAndAnswersInFrames) {
    // A length over 1 MB is refused before anything of it is read.
    std::string huge(4, '\xff');
    EXPECT_EQ(readBytes(huge + "{}").error(), "The message is longer than 1 MB.");
    EXPECT_FALSE(readBytes(framed(R"({"url":"http://h/f"})").substr(0, 10)).accepted());
    EXPECT_FALSE(readBytes("\x05\x00").accepted());
    const std::string body(HostRequest::kMaxMessage, ' ');
    EXPECT_EQ(readBytes(framed(body)).error().find("longer"), std::string::npos);

    EXPECT_EQ(readBytes(framed(R"({"url":"http://h/f"})")).answer(), framed(R"({"ok":true})"));
    EXPECT_EQ(HostRequest::refused("bad \"x\"\n").answer(),
              framed(R"({"ok":false,"error":"bad \"x\"\u000a"})"));
}

}  // namespace
}  // namespace tandu
