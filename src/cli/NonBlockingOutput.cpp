#include "NonBlockingOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tandu::cli {

NonBlockingOutput::NonBlockingOutput(int fd) : fd_(fd), writeFd_(fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISREG(info.st_mode)) {
        return;  // a file never keeps a writer waiting
    }
    // Opened anew, a pipe or terminal gets flags of its own: the shell's and
    // the other writers' descriptors stay blocking.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    writeFd_ = ::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (writeFd_ >= 0) {
        return;
    }
    writeFd_ = fd;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK) == 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0) {
        restoreFlags_ = flags;
    }
}

NonBlockingOutput::~NonBlockingOutput() {
    flush();
    if (writeFd_ != fd_) {
        ::close(writeFd_);
    }
    if (restoreFlags_ >= 0) {
        ::fcntl(fd_, F_SETFL, restoreFlags_);
    }
}

void NonBlockingOutput::flush() {
    while (!held_.empty()) {
        const ssize_t written = ::write(writeFd_, held_.data(), held_.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (written <= 0) {
            held_.clear();  // a closed output: nothing more will go out
            return;
        }
        held_.erase(0, static_cast<std::size_t>(written));
    }
}

bool NonBlockingOutput::write(const std::string& text, bool skippable) {
    flush();
    if ((skippable && !held_.empty()) || held_.size() + text.size() > kMostHeld) {
        return false;
    }
    held_ += text;
    flush();
    return true;
}

}  // namespace tandu::cli
