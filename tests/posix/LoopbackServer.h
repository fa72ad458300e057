#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
// told to keep connections, reads the next request on it). While
// bodies are held, each answer stops after the first bytes of its body until
// release(), so a test can act on a transfer that is certainly mid-way.
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
                ++connections_;
                clients_.push_back(client);
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
        {
            // Kept connections wait for a next request that will not come.
            std::lock_guard<std::mutex> lock(mutex_);
            for (int client : clients_) {
                ::shutdown(client, SHUT_RDWR);
            }
        }
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        acceptor_.join();  // no worker is added after it ends
        std::for_each(workers_.begin(), workers_.end(), [](std::thread& t) { t.join(); });
    }

    int port() const { return port_; }
    void keepConnections() { keep_ = true; }
    int connections() {
        std::lock_guard<std::mutex> lock(mutex_);
        return connections_;
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
            const std::size_t dash = request.find('-', at) + 1;
            std::size_t last = std::isdigit(static_cast<unsigned char>(request[dash]))
                                   ? std::stoull(request.substr(dash))
                                   : file.size() - 1;
            last = std::min(last, file.size() - 1);
            return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) +
                   "-" + std::to_string(last) + "/" + length +
                   "\r\nContent-Length: " + std::to_string(last - first + 1) + "\r\n\r\n" +
                   file.substr(first, last - first + 1);
        };
    }

private:
    void serve(int client) {
        std::string pending;
        do {
            std::string request;
            char bytes[4096];
            std::size_t end;
            while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
                const ssize_t n = ::recv(client, bytes, sizeof bytes, 0);
                if (n <= 0) {
                    closeClient(client);
                    return;
                }
                pending.append(bytes, static_cast<std::size_t>(n));
            }
            request = pending.substr(0, end + 4);
            pending.erase(0, end + 4);
            if (!answerOne(client, request)) {
                break;
            }
        } while (keep_);
        closeClient(client);
    }
    void closeClient(int client) {
        std::lock_guard<std::mutex> lock(mutex_);
        clients_.erase(std::find(clients_.begin(), clients_.end(), client));
        ::close(client);
    }
    // False when the connection is no longer usable.
    bool answerOne(int client, const std::string& request) {
        std::unique_lock<std::mutex> lock(mutex_);
        requests_.push_back(request);
        lock.unlock();
        const std::string reply = answer_(request);
        lock.lock();
        const int generation = releases_;
        const std::size_t headerEnd = reply.find("\r\n\r\n");
        const std::size_t holdAt = holding_ && headerEnd != std::string::npos
                                       ? std::min(reply.size(), headerEnd + 4 + holdAfter_)
                                       : reply.size();
        lock.unlock();
        bool sent = sendAll(client, reply.data(), holdAt);
        if (sent && holdAt < reply.size()) {
            lock.lock();
            ++held_;
            // Waits for the release of its own hold, not any later one.
            released_.wait(lock, [&] { return releases_ != generation || stopping_; });
            --held_;
            sent = !stopping_;
            lock.unlock();
        }
        return sent && sendAll(client, reply.data() + holdAt, reply.size() - holdAt);
    }
    static bool sendAll(int client, const char* data, std::size_t size) {
        for (ssize_t n = 0; size > 0; data += n, size -= static_cast<std::size_t>(n)) {
            if ((n = ::send(client, data, size, MSG_NOSIGNAL)) <= 0) {
                return false;
            }
        }
        return true;
    }

    Answer answer_;
    int listener_ = -1;
    int port_ = 0;
    bool stopping_ = false;
    std::atomic<bool> keep_ = false;
    int connections_ = 0;
    bool holding_ = false;
    std::size_t holdAfter_ = 0;
    int held_ = 0;
    int releases_ = 0;
    std::condition_variable released_;
    std::mutex mutex_;
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    std::vector<int> clients_;
    std::vector<std::string> requests_;
};

}  // namespace tandu::test
