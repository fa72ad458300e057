#pragma once

#include <memory>
#include <string>

namespace tandu {

// Held while a process transfers a download; released when destroyed.
class TransferLock {
public:
    virtual ~TransferLock() = default;
};

// Keeps two processes (the window, tandu-cli) from transferring or cancelling
// the same download at once.
class TransferLocks {
public:
    virtual ~TransferLocks() = default;
    // Null when another process holds the download named by its definition file.
    virtual std::unique_ptr<TransferLock> tryAcquire(const std::string& definitionPath) = 0;
};

}  // namespace tandu
