#include "transfer/TargetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <cstring>

#include "storage/TextFile.h"

namespace tandu {

namespace {

void setReason(std::string* reason, int error) {
    if (reason) {
        *reason = std::strerror(error);
    }
}

}  // namespace

TargetFile::~TargetFile() {
    close();
}

bool TargetFile::open(const std::string& path, bool fresh, std::string* reason,
                      textfile::NameSync nameSync) {
    close();
    path_ = path;
    const int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (fresh ? O_EXCL : 0);
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0) {
        const int error = errno;
        if (error == ELOOP || error == EEXIST) {
            if (reason) {
                *reason = fresh ? "a file of that name is already there, and it is left as it is"
                                : "it is a symbolic link, which is not followed";
            }
        } else {
            setReason(reason, error);
        }
        return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (reason) {
            *reason = "it is not a regular file";
        }
        close();
        return false;
    }
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && nameSync == textfile::NameSync::Now) {
        textfile::syncFolder(slash == 0 ? "/" : path.substr(0, slash));
    }
    return true;
}

std::optional<std::int64_t> TargetFile::size() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::int64_t TargetFile::heldFrom(std::int64_t offset, std::int64_t count) const {
    const auto bytes = size();
    if (!bytes || count <= 0 || offset >= *bytes) {
        return 0;
    }
    std::int64_t end = std::min(*bytes, offset + count);
    // Where the file system tells holes apart, bytes never written are not held.
    const off_t hole = ::lseek(fd_, static_cast<off_t>(offset), SEEK_HOLE);
    if (hole >= 0) {
        end = std::min<std::int64_t>(end, hole);
    }
    return std::max<std::int64_t>(end - offset, 0);
}

bool TargetFile::stillNamed() const {
    struct stat open {};
    struct stat named {};
    if (fd_ < 0 || ::fstat(fd_, &open) != 0 || open.st_nlink == 0) {
        return false;
    }
    return ::lstat(path_.c_str(), &named) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

bool TargetFile::writeAt(std::int64_t offset, const char* data, std::size_t size,
                         std::string* reason) {
    if (fd_ < 0) {
        setReason(reason, EBADF);
        return false;
    }
    while (size > 0) {
        const ssize_t written = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            setReason(reason, written < 0 ? errno : ENOSPC);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

std::function<bool(std::string*)> TargetFile::syncJob() const {
    if (fd_ < 0) {
        return [](std::string*) { return true; };
    }
    if (!syncFd_) {
        const int own = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        syncError_ = own < 0 ? errno : 0;
        syncFd_.reset(new int(own), [](const int* held) {
            if (*held >= 0) {
                ::close(*held);
            }
            delete held;
        });
    }
    return [fd = syncFd_, failure = syncError_](std::string* reason) {
        if (*fd < 0 || ::fdatasync(*fd) != 0) {
            setReason(reason, *fd < 0 ? failure : errno);
            return false;
        }
        return true;
    };
}

bool TargetFile::empty(std::string* reason) {
    if (fd_ < 0 || ::ftruncate(fd_, 0) != 0) {
        setReason(reason, fd_ < 0 ? EBADF : errno);
        return false;
    }
    return true;
}

bool TargetFile::sync(std::string* reason) const {
    if (fd_ < 0 || ::fdatasync(fd_) != 0) {
        setReason(reason, fd_ < 0 ? EBADF : errno);
        return false;
    }
    return true;
}

void TargetFile::discardIfEmpty() {
    const auto bytes = size();
    if (bytes && *bytes == 0 && stillNamed()) {
        ::unlink(path_.c_str());
    }
    close();
}

bool TargetFile::close(std::string* reason) {
    if (fd_ < 0) {
        return true;
    }
    const bool closed = ::close(fd_) == 0;
    const int error = errno;
    fd_ = -1;
    syncFd_.reset();  // a job still running keeps its own until it ends
    if (!closed) {
        setReason(reason, error);
    }
    return closed;
}

bool TargetFile::occupied(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace tandu
