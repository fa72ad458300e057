#include "PosixSocket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tandu {

namespace {
constexpr std::size_t kReadChunk = 256 * 1024;
constexpr int kHostNotFound = 11001;
}  // namespace

int socketErrorNumber(int posixError) {
    switch (posixError) {
        case ECONNREFUSED:
            return 10061;
        case ETIMEDOUT:
            return 10060;
        case ECONNRESET:
            return 10054;
        case ECONNABORTED:
            return 10053;
        case ENETUNREACH:
            return 10051;
        case EHOSTUNREACH:
            return 10065;
        case EADDRNOTAVAIL:
            return 10049;
        case EPIPE:
            return 10058;
        default:
            return 10000 + posixError;
    }
}

PosixSocket::PosixSocket(EventLoop& loop, SocketHandlers handlers, std::map<int, int> portMap)
    : loop_(loop), handlers_(std::move(handlers)), portMap_(std::move(portMap)) {}

PosixSocket::~PosixSocket() {
    *alive_ = false;
    closeFd();
}

void PosixSocket::closeFd() {
    if (watch_ != 0) {
        loop_.unwatch(watch_);
        watch_ = 0;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void PosixSocket::close() {
    closeFd();
    addresses_.clear();
    outgoing_.clear();
    peerClosed_ = false;
    state_ = SocketState::Closed;
}

void PosixSocket::connect(const std::string& host, int port) {
    close();
    auto mapped = portMap_.find(port);
    const int realPort = mapped == portMap_.end() ? port : mapped->second;

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(realPort);
    const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    state_ = SocketState::Connecting;
    if (rc != 0 || found == nullptr) {
        // Report from the loop, as a real asynchronous lookup would.
        const std::string description = rc == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(rc);
        auto alive = alive_;
        loop_.post([this, alive, description] {
            if (*alive && state_ == SocketState::Connecting && fd_ < 0) {
                state_ = SocketState::Error;
                if (handlers_.onError) {
                    auto handler = handlers_.onError;
                    handler(kHostNotFound, description);
                }
            }
        });
        return;
    }
    // IPv4 first: servers on loopback often listen on 127.0.0.1 only.
    std::vector<std::vector<unsigned char>> v4, v6;
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        auto* bytes = reinterpret_cast<const unsigned char*>(a->ai_addr);
        (a->ai_family == AF_INET ? v4 : v6).emplace_back(bytes, bytes + a->ai_addrlen);
    }
    ::freeaddrinfo(found);
    addresses_ = std::move(v4);
    addresses_.insert(addresses_.end(), v6.begin(), v6.end());
    tryNextAddress();
}

void PosixSocket::tryNextAddress() {
    closeFd();
    while (!addresses_.empty()) {
        std::vector<unsigned char> address = std::move(addresses_.front());
        addresses_.erase(addresses_.begin());
        const auto* sa = reinterpret_cast<const sockaddr*>(address.data());
        fd_ = ::socket(sa->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            lastConnectError_ = errno;
            continue;
        }
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (::connect(fd_, sa, static_cast<socklen_t>(address.size())) == 0 ||
            errno == EINPROGRESS) {
            watch_ = loop_.watch(fd_, EPOLLOUT, [this](std::uint32_t ev) { onEvents(ev); });
            return;
        }
        lastConnectError_ = errno;
        ::close(fd_);
        fd_ = -1;
    }
    const int error = lastConnectError_ ? lastConnectError_ : ECONNREFUSED;
    auto alive = alive_;
    loop_.post([this, alive, error] {
        if (*alive && state_ == SocketState::Connecting) {
            fail(error, std::strerror(error));
        }
    });
}

void PosixSocket::fail(int error, const std::string& description) {
    closeFd();
    state_ = SocketState::Error;
    if (handlers_.onError) {
        auto handler = handlers_.onError;
        handler(socketErrorNumber(error), description);
    }
}

void PosixSocket::updateInterest() {
    if (watch_ == 0) {
        return;
    }
    std::uint32_t events = EPOLLIN | EPOLLRDHUP;
    if (!outgoing_.empty()) {
        events |= EPOLLOUT;
    }
    loop_.modify(watch_, events);
}

void PosixSocket::onEvents(std::uint32_t events) {
    auto alive = alive_;
    if (state_ == SocketState::Connecting) {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            lastConnectError_ = error;
            tryNextAddress();
            return;
        }
        addresses_.clear();
        state_ = SocketState::Connected;
        updateInterest();
        if (handlers_.onConnect) {
            auto handler = handlers_.onConnect;
            handler();
        }
        return;
    }
    if (state_ != SocketState::Connected) {
        return;
    }
    if (events & EPOLLOUT) {
        onWritable();
        if (!*alive || state_ != SocketState::Connected) {
            return;
        }
    }
    if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) {
        const std::size_t waiting = bytesAvailable();
        if (waiting > 0) {
            if (handlers_.onDataArrival) {
                auto handler = handlers_.onDataArrival;
                handler(waiting);
            }
            return;  // level-triggered: the end, if any, is seen once the data is taken
        }
        char probe;
        const ssize_t n = ::recv(fd_, &probe, 1, MSG_PEEK);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            const int error = n < 0 ? errno : 0;
            closeFd();
            if (error != 0) {
                state_ = SocketState::Error;
                if (handlers_.onError) {
                    auto handler = handlers_.onError;
                    handler(socketErrorNumber(error), std::strerror(error));
                }
                return;
            }
            state_ = SocketState::Closed;
            if (handlers_.onClose) {
                auto handler = handlers_.onClose;
                handler();
            }
        }
    }
}

void PosixSocket::onWritable() {
    while (!outgoing_.empty()) {
        const ssize_t n = ::send(fd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                break;
            }
            fail(errno, std::strerror(errno));
            return;
        }
        outgoing_.erase(0, static_cast<std::size_t>(n));
    }
    updateInterest();
}

void PosixSocket::send(std::string_view bytes) {
    outgoing_.append(bytes);
    if (state_ == SocketState::Connected) {
        onWritable();
    }
}

std::size_t PosixSocket::bytesAvailable() const {
    if (fd_ < 0) {
        return 0;
    }
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0 || waiting < 0) {
        return 0;
    }
    return static_cast<std::size_t>(waiting);
}

std::string PosixSocket::getData() {
    std::string data;
    while (readInto(data, kReadChunk) > 0) {
    }
    return data;
}

std::size_t PosixSocket::read(char* data, std::size_t maxBytes) {
    if (fd_ < 0 || maxBytes == 0) {
        return 0;
    }
    const ssize_t n = ::recv(fd_, data, maxBytes, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t PosixSocket::readInto(std::string& out, std::size_t maxBytes) {
    if (fd_ < 0 || maxBytes == 0) {
        return 0;
    }
    const std::size_t want = std::min(maxBytes, kReadChunk);
    const std::size_t before = out.size();
    out.resize(before + want);
    const ssize_t n = ::recv(fd_, out.data() + before, want, 0);
    out.resize(before + (n > 0 ? static_cast<std::size_t>(n) : 0));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace tandu
