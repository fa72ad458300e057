#pragma once

#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TestCertificate.h"

namespace tandu::test {

// Bytes no two offsets of which are easily confused.
inline std::string patterned(std::size_t size, unsigned seed = 0) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 131 + i / 4099 + seed);
    }
    return bytes;
}

// A TCP server on 127.0.0.1 (an ephemeral port) that hands each connection's
// request to `answer` and sends back what it returns, then closes (or, once
// told to keep connections, reads the next request on it: its clients must
// close them before it ends); over TLS once given a certificate. While bodies are held, each answer
// stops after the first bytes of its body until release(), so a test can act on a transfer that is
// certainly mid-way.
class LoopbackServer {
public:
    using Answer = std::function<std::string(const std::string& request)>;

    explicit LoopbackServer(Answer answer) : answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 64);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] {
            for (int client;
                 (client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
                std::lock_guard<std::mutex> lock(mutex_);
                workers_.emplace_back([this, client] { serve(client); });
            }
        });
    }
    ~LoopbackServer() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        released_.notify_all();
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        acceptor_.join();  // no worker is added after it ends
        std::for_each(workers_.begin(), workers_.end(), [](std::thread& t) { t.join(); });
    }

    int port() const { return port_; }
    void keepConnections() { keep_ = true; }
    int connections() {
        std::lock_guard<std::mutex> lock(mutex_);
        return static_cast<int>(workers_.size());
    }
    // From now on connections speak TLS with this certificate.
    void useTls(const TestCertificate& certificate) {
        std::lock_guard<std::mutex> lock(mutex_);
        tls_.reset(SSL_CTX_new(TLS_server_method()));
        SSL_CTX_use_certificate(tls_.get(), certificate.cert());
        SSL_CTX_use_PrivateKey(tls_.get(), certificate.key());
    }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // Answers started from now on send their header and `bytes` of the body,
    // then wait for release().
    void holdBodiesAfter(std::size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        holding_ = true;
        holdAfter_ = bytes;
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            holding_ = false;
            ++releases_;
        }
        released_.notify_all();
    }
    // Bodies go out at about this many bytes a second on each connection.
    void pace(std::size_t bytesPerSecond) {
        std::lock_guard<std::mutex> lock(mutex_);
        pace_ = bytesPerSecond;
    }
    // Answers now waiting for release().
    int held() {
        std::lock_guard<std::mutex> lock(mutex_);
        return held_;
    }

    // The answer of a server that honours ranges, for a file of these bytes.
    static Answer serving(std::string file) {
        return [file = std::move(file)](const std::string& request) -> std::string {
            const std::string length = std::to_string(file.size());
            const std::size_t at = request.find("Range: bytes=");
            if (request.rfind("HEAD ", 0) == 0 || at == std::string::npos) {
                return "HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\n\r\n" +
                       (request.rfind("HEAD ", 0) == 0 ? "" : file);
            }
            const std::size_t first = std::stoull(request.substr(at + 13));
            const std::size_t last = std::min<std::size_t>(
                std::stoull(request.substr(request.find('-', at) + 1)), file.size() - 1);
            return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) +
                   "-" + std::to_string(last) + "/" + length +
                   "\r\nContent-Length: " + std::to_string(last - first + 1) + "\r\n\r\n" +
                   file.substr(first, last - first + 1);
        };
    }

private:
    // A connection, plain or over TLS.
    struct Peer {
        int fd;
        SSL* ssl = nullptr;
        ~Peer() {
            if (ssl) {
                SSL_shutdown(ssl);
                SSL_free(ssl);
            }
            ::close(fd);
        }
        ssize_t recv(char* bytes, std::size_t size) const {
            return ssl ? SSL_read(ssl, bytes, static_cast<int>(size)) : ::recv(fd, bytes, size, 0);
        }
        ssize_t send(const char* bytes, std::size_t size) const {
            return ssl ? SSL_write(ssl, bytes, static_cast<int>(size))
                       : ::send(fd, bytes, size, MSG_NOSIGNAL);
        }
    };

    void serve(int fd) {
        Peer client{fd};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (tls_) {
                client.ssl = SSL_new(tls_.get());
                SSL_set_fd(client.ssl, fd);
            }
        }
        if (client.ssl && SSL_accept(client.ssl) != 1) {
            return;
        }
        std::string pending;
        do {
            char bytes[4096];
            std::size_t end;
            while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
                const ssize_t n = client.recv(bytes, sizeof bytes);
                if (n <= 0) {
                    return;
                }
                pending.append(bytes, static_cast<std::size_t>(n));
            }
            const std::string request = pending.substr(0, end + 4);
            pending.erase(0, end + 4);
            if (!answerOne(client, request)) {
                return;
            }
        } while (keep_);
    }
    // False when the connection is no longer usable.
    bool answerOne(const Peer& client, const std::string& request) {
        std::unique_lock<std::mutex> lock(mutex_);
        requests_.push_back(request);
        lock.unlock();
        const std::string reply = answer_(request);
        lock.lock();
        const int generation = releases_;
        const std::size_t headerEnd = reply.find("\r\n\r\n");
        const std::size_t pace = pace_;
        const std::size_t holdAt = headerEnd == std::string::npos ? reply.size()
                                   : holding_ ? std::min(reply.size(), headerEnd + 4 + holdAfter_)
                                   : pace     ? headerEnd + 4
                                              : reply.size();
        const bool hold = holding_;
        lock.unlock();
        bool sent = sendAll(client, reply.data(), holdAt);
        if (sent && hold && holdAt < reply.size()) {
            lock.lock();
            ++held_;
            // Waits for the release of its own hold, not any later one.
            released_.wait(lock, [&] { return releases_ != generation || stopping_; });
            --held_;
            sent = !stopping_;
            lock.unlock();
        }
        // Paced: a twentieth of a second's worth at a time.
        const std::size_t step = pace ? std::max<std::size_t>(pace / 20, 1) : reply.size();
        for (std::size_t at = holdAt; sent && at < reply.size(); at += step) {
            sent = sendAll(client, reply.data() + at, std::min(step, reply.size() - at));
            if (pace) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        return sent;
    }
    static bool sendAll(const Peer& client, const char* data, std::size_t size) {
        for (ssize_t n = 0; size > 0; data += n, size -= static_cast<std::size_t>(n)) {
            if ((n = client.send(data, size)) <= 0) {
                return false;
            }
        }
        return true;
    }
    struct TlsFree {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    };

    Answer answer_;
    std::unique_ptr<SSL_CTX, TlsFree> tls_;
    int listener_ = -1;
    int port_ = 0;
    bool stopping_ = false;
    std::atomic<bool> keep_ = false;
    bool holding_ = false;
    std::size_t holdAfter_ = 0;
    std::size_t pace_ = 0;
    int held_ = 0;
    int releases_ = 0;
    std::condition_variable released_;
    std::mutex mutex_;
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    std::vector<std::string> requests_;
};

}  // namespace tandu::test
