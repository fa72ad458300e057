#include "PosixSocketFactory.h"

#include "PosixSocket.h"

namespace tandu {

std::unique_ptr<Socket> PosixSocketFactory::create(SocketHandlers handlers) {
    return std::make_unique<PosixSocket>(loop_, std::move(handlers), portMap_);
}

}  // namespace tandu
