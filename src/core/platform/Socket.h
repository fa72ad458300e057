#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tandu {

enum class SocketState { Closed, Connecting, Connected, Error };

// The events of one TCP client socket. A handler may close or destroy the
// socket it is called for; no event of that socket follows.
struct SocketHandlers {
    std::function<void()> onConnect;
    // New bytes can be read; the count is what is waiting now.
    std::function<void(std::size_t)> onDataArrival;
    std::function<void(int number, const std::string& description)> onError;
    // The peer closed the connection (after every byte was offered).
    std::function<void()> onClose;
};

class Socket {
public:
    virtual ~Socket() = default;

    // Asynchronous: later raises onConnect or onError.
    virtual void connect(const std::string& host, int port) = 0;
    // Closes the connection; the socket may connect again.
    virtual void close() = 0;
    // Queues bytes for sending.
    virtual void send(std::string_view bytes) = 0;
    virtual std::size_t bytesAvailable() const = 0;
    // Every byte received and not yet taken.
    virtual std::string getData() = 0;
    // Appends at most maxBytes of the waiting bytes to out; returns how many.
    virtual std::size_t readInto(std::string& out, std::size_t maxBytes) = 0;
    // Copies at most maxBytes of the waiting bytes to data; returns how many.
    // Sockets that can read straight into the caller's memory override it.
    virtual std::size_t read(char* data, std::size_t maxBytes) {
        std::string chunk;
        const std::size_t count = readInto(chunk, maxBytes);
        if (count > 0) {
            std::memcpy(data, chunk.data(), count);
        }
        return count;
    }
    virtual SocketState state() const = 0;
};

class SocketFactory {
public:
    virtual ~SocketFactory() = default;
    virtual std::unique_ptr<Socket> create(SocketHandlers handlers) = 0;
};

}  // namespace tandu
