#pragma once

#include <map>

#include "EventLoop.h"
#include "platform/Socket.h"

namespace tandu {

// Real sockets on the loop. The port map sends a connection for one port to
// another, so tests reach a loopback server without its real port.
class PosixSocketFactory : public SocketFactory {
public:
    explicit PosixSocketFactory(EventLoop& loop, std::map<int, int> portMap = {})
        : loop_(loop), portMap_(std::move(portMap)) {}
    std::unique_ptr<Socket> create(SocketHandlers handlers) override;
    void setPortMap(std::map<int, int> portMap) { portMap_ = std::move(portMap); }

private:
    EventLoop& loop_;
    std::map<int, int> portMap_;
};

}  // namespace tandu
