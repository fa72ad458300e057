#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace tandu {
namespace {

using test::EngineHarness;
using test::FakeSocketFactory;

// Starts NAME with that many connections against a file of that size and
// returns what each data connection sent.
std::vector<std::string> requestsFor(int connections, std::int64_t size) {
    EngineHarness h;
    const int row = h.addWaiting("f.bin", std::to_string(connections));
    h.start(row);
    EXPECT_EQ(h.ws0().connects.back(), (std::pair<std::string, int>{"example.org", 80}));
    h.answerProbeWithSize(size);
    EXPECT_EQ(h.ws0().sent, "HEAD http://www.example.org/f.bin HTTP/1.0\r\n\r\n");
    std::vector<std::string> sent;
    for (int i = 1; i <= connections; ++i) {
        if (!h.ws(i).connects.empty()) {
            FakeSocketFactory::connect(h.ws(i));
        }
        sent.push_back(h.ws(i).sent);
    }
    return sent;
}

std::string get(const std::string& range) {
    return "GET http://www.example.org/f.bin HTTP/1.0\r\nRange: bytes=" + range + "\r\n\r\n";
}

TEST(Wire, ConnectionsSplitTheFileContiguously) {
    EXPECT_EQ(requestsFor(1, 5000), std::vector<std::string>{get("0-4999")});
    EXPECT_EQ(requestsFor(3, 1000),
              (std::vector<std::string>{get("0-332"), get("333-665"), get("666-999")}));
    const auto sent = requestsFor(16, 1'000'003);
    ASSERT_EQ(sent.size(), 16u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(sent[static_cast<std::size_t>(i)],
                  get(std::to_string(i * 62500) + "-" + std::to_string(i * 62500 + 62499)));
    }
    EXPECT_EQ(sent[15], get("937500-1000002"));
}

TEST(Wire, EmptyPiecesOpenNoConnection) {
    // 5 bytes in 8 pieces: pieces 1 to 7 are empty, the last carries all 5 bytes.
    EngineHarness h;
    const int row = h.addWaiting("f.bin", "8");
    h.start(row);
    h.answerProbeWithSize(5);
    for (int i = 1; i <= 7; ++i) {
        EXPECT_TRUE(h.ws(i).connects.empty()) << i;
    }
    ASSERT_EQ(h.ws(8).connects.size(), 1u);
    EXPECT_EQ(h.progress("f.bin"), "0-0 0-0 0-0 0-0 0-0 0-0 0-0 0-5 ");
    FakeSocketFactory::connect(h.ws(8));
    EXPECT_EQ(h.ws(8).sent, get("0-4"));
    FakeSocketFactory::data(h.ws(8), EngineHarness::partialHeader(0, 4, 5) + "hello");
    EXPECT_EQ(h.state(row), "Completed");
    EXPECT_EQ(test::readFile(h.targetPath("f.bin")), "hello");
}

TEST(Wire, ResumeAsksEachPieceOnlyForWhatItMisses) {
    EngineHarness h;
    const int row = h.addPaused("f.bin", 3, 1000, {"333-333", "", "100-334"});
    test::writeFile(h.targetPath("f.bin"), std::string(1000, 'x'));
    h.start(row);
    EXPECT_TRUE(h.ws(1).connects.empty());
    for (int i : {2, 3}) {
        FakeSocketFactory::connect(h.ws(i));
    }
    EXPECT_EQ(h.ws(2).sent, get("333-665"));
    EXPECT_EQ(h.ws(3).sent, get("766-999"));
    EXPECT_EQ(h.ws0().connects.size(), 0u);  // no probe on resume
}

TEST(Wire, ResumeSendsTheUrlTrimmedFreshStartAsStored) {
    EngineHarness h;
    DefinitionFile::writeForm1(h.definitionPath("f.bin"), "f.bin", " http://h.org/f.bin ",
                               h.downloads(), "1");
    h.f->downloads().add(h.definitionPath("f.bin"));
    h.start(0);
    FakeSocketFactory::connect(h.ws0());
    EXPECT_EQ(h.ws0().sent, "HEAD  http://h.org/f.bin  HTTP/1.0\r\n\r\n");
    FakeSocketFactory::data(h.ws0(), "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n");
    h.f->cmbPause.click();
    h.start(0);
    FakeSocketFactory::connect(h.ws(1));
    EXPECT_EQ(h.ws(1).sent, "GET http://h.org/f.bin HTTP/1.0\r\nRange: bytes=0-9\r\n\r\n");
}

}  // namespace
}  // namespace tandu
