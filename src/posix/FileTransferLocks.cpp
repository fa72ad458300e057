#include "FileTransferLocks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tandu {

namespace {

class FileLock : public TransferLock {
public:
    FileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~FileLock() override {
        ::unlink(path_.c_str());
        ::close(fd_);
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace

std::unique_ptr<TransferLock> FileTransferLocks::tryAcquire(const std::string& definitionPath) {
    const std::string path = definitionPath + ".lock";
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            // No place for a lock file: nobody else can hold one there either.
            return std::make_unique<TransferLock>();
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        // The holder before us may have removed the file after we opened it.
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
            return std::make_unique<FileLock>(fd, path);
        }
        ::close(fd);
    }
    return nullptr;
}

}  // namespace tandu
