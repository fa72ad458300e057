#include <gtest/gtest.h>

#include <sstream>

#include "HostRequest.h"

// The browser test sends the plainly hostile messages through the real host;
// these are the finer points of its JSON and address checks.
namespace tandu {
namespace {

std::string framed(const std::string& json) {
    const auto length = static_cast<std::uint32_t>(json.size());
    return std::string(reinterpret_cast<const char*>(&length), 4) + json;
}

TEST(HostRequest, TakesOneWebAddressAndRefusesEverythingElse) {
    const std::string longest = "http://h/" + std::string(HandOffMessage::kMaxAddress - 9, 'a');
    struct Case {
        std::string bytes;
        std::string address;  // empty: refused
    };
    const Case cases[] = {
        {framed(" {\r\n\t\"url\" : \"HTTP://h/f?x=1#y\" } "), "HTTP://h/f?x=1#y"},
        {framed(R"({"url":"http:\/\/h\/\u00e9\ud83d\ude00"})"),
         "http://h/\xc3\xa9\xf0\x9f\x98\x80"},
        {framed("{\"url\":\"" + longest + "\"}"), longest},
        {framed("{\"url\":\"" + longest + "a\"}"), ""},
        {framed(R"({"url":"http:///etc"})"), ""},
        {framed(R"({"url":"file:///etc/passwd"})"), ""},
        {framed(R"({"url":"javascript:alert(1)//http://h/"})"), ""},
        {framed(R"({"url":"-url http://h/f"})"), ""},
        {framed(R"({"url":"http://h/a\r\nX-Injected: 1"})"), ""},
        {framed(R"({"url":"http://h/a\u0000b"})"), ""},
        {framed(R"({"url":"http://h/a b"})"), ""},
        {framed(R"({"url":"http://h/\u2028"})"), ""},
        {framed(R"({"url":"http://h/\u202egnp.exe"})"), ""},
        {framed(R"({"url":"http://h/\u061c\u200e\u200f\u202a\u2066\u2069"})"), ""},
        {framed(R"({"url":"http://h/\ud800"})"), ""},
        {framed("{\"url\":\"http://h/\xc3\"}"), ""},
        {framed("{\"url\":\"http://h/\xc0\xaf\"}"), ""},
        {framed(R"({"url":"http://h/","url":"http://h/"})"), ""},
        {framed(R"({"href":"http://h/"})"), ""},
        {framed(R"({"url":"http://h/","cookies":1})"), ""},
        {framed(R"({"url":"http://h/"} x)"), ""},
        {framed(R"({"url":"http://h/f"})").substr(0, 10), ""},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.bytes);
        const HostRequest request = HostRequest::read(in);
        EXPECT_EQ(request.accepted(), !c.address.empty()) << c.bytes << ": " << request.error();
        EXPECT_EQ(request.address(), c.address) << c.bytes;
    }
    EXPECT_EQ(HostRequest::refused("bad \"x\"\n").answer(),
              framed(R"({"ok":false,"error":"bad \"x\"\u000a"})"));
}

TEST(HostRequest, SessionFieldsThatCouldSplitAHeaderAreRefusedOddOnesDropped) {
    const auto take = [](const std::string& json) { return HostRequest::fromJson(json); };
    for (const char* hostile :
         {R"({"url":"http://h/","cookies":"a=1\r\nX-Evil: 1"})",
          R"({"url":"http://h/","userAgent":"UA\nHost: evil"})",
          R"({"url":"http://h/","cookies":"a=\u0085"})",
          R"({"url":"http://h/","userAgent":"\u2028"})"}) {
        EXPECT_FALSE(take(hostile).accepted()) << hostile;
    }
    EXPECT_FALSE(take(R"({"url":"http://h/","cookies":")" +
                      std::string(HandOffMessage::kMaxCookies + 1, 'a') + "\"}")
                     .accepted());
    const HostRequest all = take(
        R"j({"url":"https://h/f","referrer":"https://h/page?a=1#top","userAgent":"Mozilla/5.0 (X)",)j"
        R"j("cookies":"s=1; t=x y","filename":"report final.pdf","future":"kept out"})j");
    ASSERT_TRUE(all.accepted()) << all.error();
    EXPECT_EQ(all.message().json(),
              R"j({"url":"https://h/f","referrer":"https://h/page?a=1","userAgent":"Mozilla/5.0 (X)",)j"
              R"j("cookies":"s=1; t=x y","filename":"report final.pdf"})j");
    // Dropped: a page that is no web address or names a password, a name with a folder.
    for (const char* odd : {R"({"url":"http://h/","referrer":"file:///etc/x","filename":"../x"})",
                            R"({"url":"http://h/","referrer":"http://u:pw@h/","filename":".."})",
                            R"({"url":"http://h/","referrer":"","filename":"a\u0007b"})"}) {
        const HostRequest request = take(odd);
        ASSERT_TRUE(request.accepted()) << odd;
        EXPECT_EQ(request.message().json(), R"({"url":"http://h/"})") << odd;
    }
}

}  // namespace
}  // namespace tandu
