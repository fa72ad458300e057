#pragma once

#include <QPointer>
#include <QTcpSocket>
#include <map>

#include "platform/Socket.h"

namespace tandu::qt {

// A TCP client on QTcpSocket. Its read buffer is capped, so the kernel keeps
// what the program has not yet taken instead of it piling up in memory.
class QtSocket : public Socket {
public:
    static constexpr qint64 kReadBufferSize = 256 * 1024;

    // The port map sends a connection for one port to another (tests reach a
    // loopback server without its real port).
    explicit QtSocket(SocketHandlers handlers, std::map<int, int> portMap = {});
    ~QtSocket() override;

    void connect(const std::string& host, int port) override;
    void close() override;
    void send(std::string_view bytes) override;
    std::size_t bytesAvailable() const override;
    std::string getData() override;
    std::size_t readInto(std::string& out, std::size_t maxBytes) override;
    std::size_t read(char* data, std::size_t maxBytes) override;
    SocketState state() const override;

    // Winsock-style numbers, so messages read the same everywhere.
    static int errorNumber(QAbstractSocket::SocketError error);

private:
    void attach();

    SocketHandlers handlers_;
    std::map<int, int> portMap_;
    QPointer<QTcpSocket> socket_;
    bool failed_ = false;
    bool closing_ = false;
};

class QtSocketFactory : public SocketFactory {
public:
    explicit QtSocketFactory(std::map<int, int> portMap = {}) : portMap_(std::move(portMap)) {}
    std::unique_ptr<Socket> create(SocketHandlers handlers) override {
        return std::make_unique<QtSocket>(std::move(handlers), portMap_);
    }

private:
    std::map<int, int> portMap_;
};

}  // namespace tandu::qt
