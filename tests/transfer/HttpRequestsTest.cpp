#include <gtest/gtest.h>

#include "transfer/HttpHeader.h"
#include "transfer/HttpRequests.h"
#include "transfer/PiecePlan.h"
#include "transfer/RangeAnswer.h"

namespace tandu {
namespace {

TEST(Requests, AreExactBytes) {
    EXPECT_EQ(ProbeRequest("http://h/f.zip"), "HEAD http://h/f.zip HTTP/1.0\r\n\r\n");
    EXPECT_EQ(RangeRequest("http://h/f.zip", 333, 665),
              "GET http://h/f.zip HTTP/1.0\r\nRange: bytes=333-665\r\n\r\n");
    EXPECT_EQ(RangeRequest("u", 3000000000LL, 4294967295LL),
              "GET u HTTP/1.0\r\nRange: bytes=3000000000-4294967295\r\n\r\n");
}

TEST(PiecePlan, CutsTheFileWithTheRemainderOnTheLastPiece) {
    const PiecePlan three = PiecePlan::make(1000, 3);
    EXPECT_EQ(three.pieceSize, 333);
    EXPECT_EQ(three.remainder, 1);
    EXPECT_EQ(three.start(3), 666);
    EXPECT_EQ(three.length(3), 334);
    EXPECT_TRUE(three.consistent());
    const PiecePlan tiny = PiecePlan::make(5, 8);
    EXPECT_EQ(tiny.length(7), 0);
    EXPECT_EQ(tiny.start(8), 0);
    EXPECT_EQ(tiny.length(8), 5);
    EXPECT_TRUE((PiecePlan{3, 5'000'000'000LL, 1'666'666'666LL, 2}).consistent());
    EXPECT_FALSE((PiecePlan{3, 1000, 333, 2}).consistent());
    EXPECT_FALSE((PiecePlan{17, 17, 1, 0}).consistent());
    EXPECT_FALSE((PiecePlan{2, 10, -5, 20}).consistent());
}

TEST(HttpHeader, EndIsFoundAcrossArrivals) {
    EXPECT_EQ(HttpHeader::findEnd("HTTP/1.1 200 OK\r\n\r\nbody"), 19u);
    EXPECT_FALSE(HttpHeader::findEnd("HTTP/1.1 200 OK\r\n\r"));
    // Searching only the new part still sees a terminator that straddles it.
    EXPECT_EQ(HttpHeader::findEnd("HTTP/1.1 200 OK\r\n\r\n", 18), 19u);
    EXPECT_EQ(HttpHeader::findEnd("HTTP/1.0 200 OK\n\nxy"), 17u);
}

TEST(HttpHeader, FieldsAnyCaseValuesTrimmed) {
    const HttpHeader header = HttpHeader::parse(
        "HTTP/1.1 206 Partial Content\r\ncontent-length:5000\r\nX: a:b\r\n"
        "CONTENT-RANGE:  bytes 10-19/100 \r\n\r\n");
    EXPECT_EQ(header.status(), 206);
    EXPECT_EQ(header.contentLength(), 5000);
    EXPECT_EQ(header.field("x"), "a:b");
    ASSERT_TRUE(header.contentRange());
    EXPECT_EQ(header.contentRange()->first, 10);
    EXPECT_EQ(header.contentRange()->last, 19);
    EXPECT_EQ(header.contentRange()->total, 100);
    for (const char* bad : {"-5", "12a", "", "1 2", "+7", "99999999999999999999"}) {
        EXPECT_FALSE(
            HttpHeader::parse(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + bad + "\r\n\r\n")
                .contentLength())
            << bad;
    }
    EXPECT_EQ(HttpHeader::parse("garbage\r\n\r\n").status(), 0);
    EXPECT_EQ(HttpHeader::parse("HTTP/1.1 2000 OK\r\n\r\n").status(), 0);
}

TEST(RangeAnswer, OnlyTheBytesAskedForReachTheFile) {
    using Kind = RangeAnswer::Kind;
    const auto judge = [](const std::string& header, std::int64_t first, bool single = false) {
        return RangeAnswer::judge(HttpHeader::parse(header), first, 1000, single);
    };
    EXPECT_EQ(judge("HTTP/1.1 206 P\r\nContent-Range: bytes 333-665/1000\r\n\r\n", 333).kind,
              Kind::Accept);
    EXPECT_EQ(judge("HTTP/1.1 206 P\r\nContent-Range: bytes 0-665/1000\r\n\r\n", 333).kind,
              Kind::Unusable);
    EXPECT_EQ(judge("HTTP/1.1 206 P\r\nContent-Range: bytes 333-665/2000\r\n\r\n", 333).kind,
              Kind::Unusable);
    EXPECT_EQ(judge("HTTP/1.1 206 P\r\n\r\n", 333).kind, Kind::Unusable);
    EXPECT_EQ(judge("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", 0).kind, Kind::Accept);
    EXPECT_EQ(judge("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", 333).kind,
              Kind::IgnoresRange);
    const RangeAnswer whole = judge("HTTP/1.1 200 OK\r\n\r\n", 333, true);
    EXPECT_EQ(whole.kind, Kind::Accept);
    EXPECT_EQ(whole.skip, 333);
    EXPECT_EQ(judge("HTTP/1.1 200 OK\r\nContent-Length: 999\r\n\r\n", 0).kind, Kind::Unusable);
    const RangeAnswer missing = judge("HTTP/1.1 404 Not Found\r\n\r\n", 0);
    EXPECT_EQ(missing.kind, Kind::Unusable);
    EXPECT_EQ(missing.reason, "The server answered: HTTP/1.1 404 Not Found");
}

}  // namespace
}  // namespace tandu
