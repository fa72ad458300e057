#include <gtest/gtest.h>

#include "transfer/HttpHeader.h"
#include "transfer/RangeAnswer.h"

namespace tandu {
namespace {

RangeAnswer judge(const std::string& head, std::int64_t first = 0) {
    return RangeAnswer::judge(HttpHeader::parse(head), first, 1000, true);
}

TEST(HostileAnswer, FramedBodiesAreNeverTakenForTheFile) {
    for (const char* head : {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                             "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\ntransfer-encoding: "
                             "gzip, chunked\r\n\r\n",
                             "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-999/1000\r\n"
                             "Transfer-Encoding: chunked\r\n\r\n"}) {
        const RangeAnswer answer = judge(head);
        EXPECT_EQ(answer.kind, RangeAnswer::Kind::Unusable) << head;
        EXPECT_NE(answer.reason.find("transfer encoding"), std::string::npos) << answer.reason;
    }
    EXPECT_EQ(judge("HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n").kind,
              RangeAnswer::Kind::Accept);
}

TEST(HostileAnswer, TwoDifferentLengthsAreRefused) {
    const HttpHeader twice =
        HttpHeader::parse("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nContent-Length: 5\r\n\r\n");
    EXPECT_TRUE(twice.lengthConflicts());
    EXPECT_EQ(twice.contentLength(), std::nullopt);
    EXPECT_EQ(RangeAnswer::judge(twice, 0, 1000, true).reason,
              "The server's answer gives two different lengths.");
    const HttpHeader listed =
        HttpHeader::parse("HTTP/1.1 200 OK\r\nContent-Length: 1000, 7\r\n\r\n");
    EXPECT_EQ(listed.contentLength(), std::nullopt);
    EXPECT_EQ(judge("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 10-999/1000\r\n"
                    "Content-Length: 990\r\nContent-Length: 5\r\n\r\n",
                    10)
                  .kind,
              RangeAnswer::Kind::Unusable);
    // The same value repeated says nothing new.
    const HttpHeader same = HttpHeader::parse(
        "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\ncontent-length: 1000, 1000\r\n\r\n");
    EXPECT_FALSE(same.lengthConflicts());
    EXPECT_EQ(same.contentLength(), 1000);
    EXPECT_EQ(RangeAnswer::judge(same, 0, 1000, true).kind, RangeAnswer::Kind::Accept);
}

}  // namespace
}  // namespace tandu
