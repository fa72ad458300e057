#pragma once

#include <chrono>
#include <string>

namespace tandu {

// Where the running window of this user and display listens for hand-offs,
// and the side that hands over, without Qt (tandu-host and later starts).
// The socket lives in a folder only this user can enter: $XDG_RUNTIME_DIR
// when it is such a folder, else ~/.cache/tandu made so. A peer is talked
// to only when it runs as this user.
class InstanceSocket {
public:
    // One line each way: "OPEN " + message JSON or "ACTIVATE"; "OK" once taken.
    static constexpr const char* kOpen = "OPEN ";
    static constexpr const char* kActivate = "ACTIVATE";
    static constexpr std::size_t kMaxLine = 2 * 1024 * 1024;

    // The socket's path; empty, with the reason, when no private folder can be had.
    static std::string path(std::string* reason = nullptr);
    // Beside it: the lock two starts take in turn.
    static std::string lockPath(const std::string& socketPath) { return socketPath + ".lock"; }
    // Whether the process at the other end of a connected socket runs as this user.
    static bool peerIsThisUser(int fd);
    // Hands one line to the window listening at the path and waits for its
    // "OK". False when nobody of this user listens there or it did not
    // answer in time.
    static bool deliver(const std::string& path, const std::string& line,
                        std::chrono::milliseconds wait);

    // Held while a start looks for a running window and, finding none,
    // begins to listen, so two starts at once end in one window.
    class StartLock {
    public:
        explicit StartLock(const std::string& socketPath);
        ~StartLock();
        StartLock(const StartLock&) = delete;
        StartLock& operator=(const StartLock&) = delete;

    private:
        int fd_ = -1;
    };
};

}  // namespace tandu
