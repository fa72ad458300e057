#include "InstanceSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace tandu {

namespace {

using Clock = std::chrono::steady_clock;

// A folder that is this user's and that nobody else may enter or write in:
// no other user can have made a name in it first.
bool privateFolder(const std::string& folder) {
    struct stat info {};
    return !folder.empty() && folder.front() == '/' && ::lstat(folder.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

std::string ownCacheFolder(std::string* reason) {
    const char* home = std::getenv("HOME");
    if (!home || *home != '/') {
        *reason = "XDG_RUNTIME_DIR is no private folder and HOME is not set";
        return {};
    }
    const std::string cache = std::string(home) + "/.cache";
    ::mkdir(cache.c_str(), 0700);
    const std::string folder = cache + "/tandu";
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *reason = folder + ": " + std::strerror(errno);
        return {};
    }
    // One of ours that others may enter is closed to them; nobody else's is used.
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::geteuid() && (info.st_mode & 077) != 0) {
        ::chmod(folder.c_str(), 0700);
    }
    if (!privateFolder(folder)) {
        *reason = folder + " is not a folder of this user that only it may enter";
        return {};
    }
    return folder;
}

std::string displayName() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        display = std::getenv("WAYLAND_DISPLAY");
    }
    std::string name = display ? display : "";
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain) {
            c = '_';
        }
    }
    return name.substr(0, 40);
}

int remaining(Clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool waitFor(int fd, short events, Clock::time_point until) {
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, remaining(until));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

}  // namespace

std::string InstanceSocket::path(std::string* reason) {
    std::string why;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime && privateFolder(runtime) ? runtime : ownCacheFolder(&why);
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    std::string socket = folder.empty() ? "" : folder + "/tandu-" + displayName() + ".sock";
    if (socket.size() >= sizeof(sockaddr_un{}.sun_path)) {
        why = socket + " is too long for a socket's name";
        socket.clear();
    }
    if (socket.empty() && reason) {
        *reason = why;
    }
    return socket;
}

bool InstanceSocket::peerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == ::geteuid();
}

bool InstanceSocket::deliver(const std::string& path, const std::string& line,
                             std::chrono::milliseconds wait) {
    const auto until = Clock::now() + wait;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    bool taken = false;
    int connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (connected != 0 && (errno == EINPROGRESS || errno == EAGAIN) && waitFor(fd, POLLOUT, until)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0 ? 0 : -1;
    }
    // Another user's socket gets nothing, not even the line's length.
    if (connected == 0 && peerIsThisUser(fd)) {
        const std::string out = line + "\n";
        std::size_t sent = 0;
        while (sent < out.size() && waitFor(fd, POLLOUT, until)) {
            const ssize_t n = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            }
            sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        std::string answer;
        char buffer[16];
        while (sent == out.size() && answer.find('\n') == std::string::npos &&
               answer.size() < 64 && waitFor(fd, POLLIN, until)) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) {
                break;
            }
            answer.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        }
        taken = answer.rfind("OK\n", 0) == 0;
    }
    ::close(fd);
    return taken;
}

InstanceSocket::StartLock::StartLock(const std::string& socketPath) {
    if (socketPath.empty()) {
        return;
    }
    fd_ = ::open(lockPath(socketPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A start that hangs holding it must not hold every later one for good.
    const auto until = Clock::now() + std::chrono::seconds(10);
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

InstanceSocket::StartLock::~StartLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace tandu
