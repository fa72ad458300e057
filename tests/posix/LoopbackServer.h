#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tandu::test {

// A TCP server on 127.0.0.1 (an ephemeral port) that hands each connection's
// request to `answer` and sends back what it returns, then closes.
class LoopbackServer {
  public:
    using Answer = std::function<std::string(const std::string& request)>;

    explicit LoopbackServer(Answer answer) : answer_(std::move(answer)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 64);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }
    ~LoopbackServer() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        acceptor_.join();
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& worker : workers_) {
            worker.join();
        }
    }

    int port() const { return port_; }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // The answer of a server that honours ranges, for a file of these bytes.
    static Answer serving(std::string file) {
        return [file = std::move(file)](const std::string& request) -> std::string {
            const std::string length = std::to_string(file.size());
            if (request.rfind("HEAD ", 0) == 0) {
                return "HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\n\r\n";
            }
            const std::size_t at = request.find("Range: bytes=");
            const std::size_t first = std::stoull(request.substr(at + 13));
            const std::size_t last = std::stoull(request.substr(request.find('-', at) + 1));
            return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) +
                   "-" + std::to_string(last) + "/" + length + "\r\n\r\n" +
                   file.substr(first, last - first + 1);
        };
    }

  private:
    void acceptLoop() {
        while (!stopping_) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                return;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            workers_.emplace_back([this, client] { serve(client); });
        }
    }
    void serve(int client) {
        std::string request;
        char bytes[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(client, bytes, sizeof bytes, 0);
            if (n <= 0) {
                ::close(client);
                return;
            }
            request.append(bytes, static_cast<std::size_t>(n));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        const std::string reply = answer_(request);
        for (std::size_t sent = 0; sent < reply.size();) {
            const ssize_t n =
                ::send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        ::close(client);
    }

    Answer answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::vector<std::string> requests_;
};

}  // namespace tandu::test
