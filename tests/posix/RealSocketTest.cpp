#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "LoopbackServer.h"
#include "TestProgram.h"

namespace tandu {
namespace {

using namespace std::chrono_literals;

// Runs the loop until `done`, for at most a few seconds.
void runUntil(EventLoop& loop, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        loop.runOnce(50ms);
    }
}

// Reads take bounded chunks, the close comes after the last byte, and a
// handler may destroy its own socket.
TEST(PosixSocket, BoundedReadsCloseAfterTheLastByteAndAHandlerMayDestroyItsSocket) {
    const std::string file = test::patterned(3'000'000);
    test::LoopbackServer server([&](const std::string&) { return file; });
    EventLoop loop;
    PosixSocketFactory factory(loop, {{80, server.port()}});
    std::string received;
    bool closed = false;
    std::unique_ptr<Socket> socket;
    std::size_t largestRead = 0;
    SocketHandlers handlers;
    handlers.onConnect = [&] { socket->send("x\r\n\r\n"); };
    handlers.onDataArrival = [&](std::size_t) {
        char chunk[70'000];
        const std::size_t n = socket->read(chunk, sizeof chunk);
        largestRead = std::max(largestRead, n);
        received.append(chunk, n);
    };
    handlers.onClose = [&] {
        char more;
        EXPECT_EQ(socket->read(&more, 1), 0u);
        closed = true;
    };
    socket = factory.create(handlers);
    socket->connect("127.0.0.1", 80);
    runUntil(loop, [&] { return closed; });
    EXPECT_TRUE(closed);
    EXPECT_LE(largestRead, 70'000u);
    EXPECT_TRUE(received == file) << received.size();

    int arrivals = 0;
    handlers.onDataArrival = [&](std::size_t) {
        ++arrivals;
        socket.reset();
    };
    socket = factory.create(handlers);
    socket->connect("127.0.0.1", 80);
    runUntil(loop, [&] { return socket == nullptr; });
    loop.runOnce(50ms);
    EXPECT_EQ(arrivals, 1);
}

}  // namespace
}  // namespace tandu
