#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EventLoop.h"
#include "platform/Socket.h"

struct addrinfo;

namespace tandu {

// A non-blocking TCP client on the event loop. Bytes are read from the kernel
// only when the owner asks, straight into the owner's string.
class PosixSocket : public Socket {
public:
    PosixSocket(EventLoop& loop, SocketHandlers handlers, std::map<int, int> portMap);
    ~PosixSocket() override;

    void connect(const std::string& host, int port) override;
    void close() override;
    void send(std::string_view bytes) override;
    std::size_t bytesAvailable() const override;
    std::string getData() override;
    std::size_t readInto(std::string& out, std::size_t maxBytes) override;
    std::size_t read(char* data, std::size_t maxBytes) override;
    SocketState state() const override { return state_; }

private:
    void tryNextAddress();
    void onEvents(std::uint32_t events);
    void onWritable();
    void fail(int error, const std::string& description);
    void closeFd();
    void updateInterest();

    EventLoop& loop_;
    SocketHandlers handlers_;
    std::map<int, int> portMap_;
    int fd_ = -1;
    EventLoop::Id watch_ = 0;
    SocketState state_ = SocketState::Closed;
    std::vector<std::vector<unsigned char>> addresses_;  // sockaddr bytes left to try
    int lastConnectError_ = 0;
    std::string outgoing_;
    bool peerClosed_ = false;
    // Cleared when the socket dies, so a running handler can tell.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Winsock-style error numbers, so messages read the same on every platform.
int socketErrorNumber(int posixError);

}  // namespace tandu
