#include "FakeSockets.h"

#include <algorithm>

namespace tandu::test {

class FakeSocket : public Socket {
public:
    explicit FakeSocket(std::shared_ptr<FakeSocketRecord> record) : record_(std::move(record)) {}
    ~FakeSocket() override {
        record_->destroyed = true;
        record_->handlers = {};
    }

    void connect(const std::string& host, int port) override {
        record_->connects.emplace_back(host, port);
        record_->inbound.clear();
        record_->state = SocketState::Connecting;
    }
    void close() override {
        ++record_->closes;
        record_->inbound.clear();
        record_->state = SocketState::Closed;
    }
    void send(std::string_view bytes) override {
        record_->sent.append(bytes);
        record_->sends.emplace_back(bytes);
    }
    std::size_t bytesAvailable() const override { return record_->inbound.size(); }
    std::string getData() override {
        std::string data = std::move(record_->inbound);
        record_->inbound.clear();
        return data;
    }
    std::size_t readInto(std::string& out, std::size_t maxBytes) override {
        const std::size_t n = std::min(maxBytes, record_->inbound.size());
        out.append(record_->inbound, 0, n);
        record_->inbound.erase(0, n);
        return n;
    }
    SocketState state() const override { return record_->state; }

private:
    std::shared_ptr<FakeSocketRecord> record_;
};

std::unique_ptr<Socket> FakeSocketFactory::create(SocketHandlers handlers) {
    auto record = std::make_shared<FakeSocketRecord>();
    record->handlers = std::move(handlers);
    created_.push_back(record);
    auto socket = std::make_unique<FakeSocket>(record);
    sockets_.push_back(socket.get());
    return socket;
}

FakeSocketRecord* FakeSocketFactory::recordOf(const Socket* socket) const {
    for (std::size_t i = sockets_.size(); i-- > 0;) {
        if (sockets_[i] == socket && !created_[i]->destroyed) {
            return created_[i].get();
        }
    }
    return nullptr;
}

std::vector<std::shared_ptr<FakeSocketRecord>> FakeSocketFactory::alive() const {
    std::vector<std::shared_ptr<FakeSocketRecord>> result;
    for (const auto& record : created_) {
        if (!record->destroyed) {
            result.push_back(record);
        }
    }
    return result;
}

void FakeSocketFactory::connect(FakeSocketRecord& socket) {
    if (socket.destroyed) {
        return;
    }
    socket.state = SocketState::Connected;
    if (auto handler = socket.handlers.onConnect) {
        handler();
    }
}

void FakeSocketFactory::data(FakeSocketRecord& socket, const std::string& bytes) {
    if (socket.destroyed) {
        return;
    }
    socket.inbound += bytes;
    if (auto handler = socket.handlers.onDataArrival) {
        handler(socket.inbound.size());
    }
}

void FakeSocketFactory::error(FakeSocketRecord& socket, int number,
                              const std::string& description) {
    if (socket.destroyed) {
        return;
    }
    socket.state = SocketState::Error;
    if (auto handler = socket.handlers.onError) {
        handler(number, description);
    }
}

void FakeSocketFactory::peerClose(FakeSocketRecord& socket) {
    if (socket.destroyed) {
        return;
    }
    socket.state = SocketState::Closed;
    if (auto handler = socket.handlers.onClose) {
        handler();
    }
}

}  // namespace tandu::test
