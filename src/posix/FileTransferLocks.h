#pragma once

#include "platform/TransferLocks.h"

namespace tandu {

// An advisory lock (flock) on "NAME.def.lock" beside the definition file;
// the kernel releases it when the process ends, however it ends.
class FileTransferLocks : public TransferLocks {
public:
    std::unique_ptr<TransferLock> tryAcquire(const std::string& definitionPath) override;
};

}  // namespace tandu
