#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Socket.h"

namespace tandu::test {

// What one fake socket saw. It outlives the socket, so a test can still read
// it after the program destroyed the socket.
struct FakeSocketRecord {
    std::vector<std::pair<std::string, int>> connects;  // host, port
    std::string sent;                                   // every byte sent, across connections
    std::vector<std::string> sends;                     // one entry per send call
    int closes = 0;
    bool destroyed = false;
    SocketState state = SocketState::Closed;
    std::string inbound;  // delivered, not yet taken
    SocketHandlers handlers;
};

class FakeSocket;

// Sockets whose events the test raises, with exactly the bytes it chooses.
class FakeSocketFactory : public SocketFactory {
public:
    std::unique_ptr<Socket> create(SocketHandlers handlers) override;

    // Every socket ever created, in creation order.
    const std::vector<std::shared_ptr<FakeSocketRecord>>& created() const { return created_; }
    FakeSocketRecord& socket(std::size_t creationIndex) { return *created_.at(creationIndex); }
    // The record of a socket the program holds; null for an unknown one.
    FakeSocketRecord* recordOf(const Socket* socket) const;
    // Sockets created and not destroyed, in creation order.
    std::vector<std::shared_ptr<FakeSocketRecord>> alive() const;

    // Raise events on a socket (ignored once it is destroyed).
    static void connect(FakeSocketRecord& socket);
    static void data(FakeSocketRecord& socket, const std::string& bytes);
    static void error(FakeSocketRecord& socket, int number, const std::string& description);
    static void peerClose(FakeSocketRecord& socket);

private:
    std::vector<std::shared_ptr<FakeSocketRecord>> created_;
    std::vector<const Socket*> sockets_;  // as created; an address may come back
};

}  // namespace tandu::test
