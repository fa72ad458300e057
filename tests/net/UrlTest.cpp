#include <gtest/gtest.h>

#include "net/AnswerHead.h"
#include "net/Url.h"

namespace tandu::net {
namespace {

TEST(Url, PartsRequestFormAndDisplay) {
    // text -> "scheme host port target user:password forRequest | display"
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The host exactly as written: no label is dropped.
        {"http://www.example.org/a/b.zip",
         "http www.example.org 80 /a/b.zip : http://www.example.org/a/b.zip | "
         "http://www.example.org/a/b.zip"},
        {" HTTPS://Example.org:8443?x=1#frag ",
         "https Example.org 8443 /?x=1 : https://Example.org:8443/?x=1 | "
         " HTTPS://Example.org:8443?x=1#frag "},
        {"http://[::1]:8080/f", "http ::1 8080 /f : http://[::1]:8080/f | http://[::1]:8080/f"},
        {"https://[2001:db8::7]/",
         "https 2001:db8::7 443 / : https://[2001:db8::7]/ | https://[2001:db8::7]/"},
        {"http://al%40x:p%3Ass:w@h/f a",
         "http h 80 /f a al@x:p:ss:w http://h/f%20a | http://al%40x:***@h/f a"},
        {"https://user@h/", "https h 443 / user: https://h/ | https://user@h/"},
        // An @ in the path is not a user.
        {"http://h/x@y", "http h 80 /x@y : http://h/x@y | http://h/x@y"},
    };
    for (const auto& [text, parts] : cases) {
        Url::Error error;
        const auto url = Url::parse(text, &error);
        ASSERT_TRUE(url) << text << ": " << error.message;
        EXPECT_EQ(url->text(), text);
        EXPECT_EQ(url->scheme() + " " + url->host() + " " + std::to_string(url->port()) + " " +
                      url->target() + " " + url->user() + ":" + url->password() + " " +
                      url->forRequest() + " | " + url->display(),
                  parts);
    }
}

TEST(Url, MalformedOrForeignAddressesGetAReason) {
    using Kind = Url::Error::Kind;
    const std::vector<std::tuple<std::string, Kind, std::string>> cases = {
        {"ftp://h/f", Kind::UnknownScheme,
         "Links starting with ftp:// cannot be downloaded; only http:// and https:// can."},
        {"www.example.org/f", Kind::Malformed,
         "Not a web address: it must start with http:// or https://."},
        {"http:///f", Kind::Malformed, "The address has no valid host name."},
        {"http://h:99999/f", Kind::Malformed, "The address has a port outside 1 to 65535."},
        {"http://[::1/f", Kind::Malformed, "The address has a malformed IPv6 host."},
        {"http://h/a\r\nX: 1", Kind::Malformed, "The address holds a control character."},
    };
    for (const auto& [text, kind, message] : cases) {
        Url::Error error;
        EXPECT_FALSE(Url::parse(text, &error)) << text;
        EXPECT_EQ(error.kind, kind) << text;
        EXPECT_EQ(error.message, message) << text;
    }
}

// Where a password written for the first address may go.
TEST(Url, SameOriginIsTheSameSchemeHostAndPort) {
    const Url own = *Url::parse("http://u:p@Files.Example.org/a");
    for (const auto& [text, same] :
         std::vector<std::pair<std::string, bool>>{{"http://files.example.org:80/b?x", true},
                                                   {"http://files.example.org:8080/a", false},
                                                   {"https://files.example.org/a", false},
                                                   {"https://files.example.org:80/a", false},
                                                   {"http://example.org/a", false},
                                                   {"http://files.example.org.evil/a", false}}) {
        EXPECT_EQ(own.sameOrigin(*Url::parse(text)), same) << text;
    }
}

TEST(AnswerHead, ReadsLengthRangesAndRetryAndIgnoresWhatItCannotTrust) {
    const Url url = *Url::parse("http://h/f");
    const AnswerHead good = AnswerHead::parse(
        "HTTP/1.1 206 Partial Content\r\ncontent-length:  100\r\nContent-Range: bytes "
        "100-199/3000001\r\nAccept-Ranges: Bytes\r\nRetry-After: 7\r\n\r\n",
        url);
    EXPECT_EQ(good.status, 206);
    EXPECT_EQ(good.contentLength, 100);
    EXPECT_EQ(good.contentRange->first + good.contentRange->last, 299);
    EXPECT_EQ(good.contentRange->total, 3000001);
    EXPECT_TRUE(good.acceptsRanges);
    EXPECT_EQ(good.retryAfter, std::chrono::seconds(7));
    for (const char* raw :
         {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\nContent-Range: bytes 9-3/10\r\n"
          "Retry-After: Fri, 31 Dec 1999 23:59:59 GMT\r\n\r\n",
          "garbage\r\nContent-Length: 99999999999999999999\r\nContent-Range: "
          "bytes 0-10/10\r\nAccept-Ranges: none\r\n\r\n"}) {
        const AnswerHead bad = AnswerHead::parse(raw, url);
        EXPECT_EQ(bad.status, raw[0] == 'g' ? 0 : 200);
        EXPECT_FALSE(bad.contentLength || bad.contentRange || bad.retryAfter || bad.acceptsRanges)
            << raw;
        EXPECT_TRUE(bad.malformedLength);
    }
    EXPECT_FALSE(AnswerHead::parse("HTTP/1.1 200 OK\r\n\r\n", url).malformedLength);
}

}  // namespace
}  // namespace tandu::net
