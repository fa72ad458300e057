#pragma once

#include <string>

namespace tandu::cli {

// Writes to standard output or error without ever waiting for the reader: a
// pipe nobody reads must not hold the downloads. What the reader is not
// ready for is held (up to a cap) and sent first next time; figures that
// would only be replaced a second later are dropped while anything is held.
class NonBlockingOutput {
public:
    explicit NonBlockingOutput(int fd);
    ~NonBlockingOutput();
    NonBlockingOutput(const NonBlockingOutput&) = delete;
    NonBlockingOutput& operator=(const NonBlockingOutput&) = delete;

    // False when the text was dropped: `skippable` text while some is held,
    // any text past the cap.
    bool write(const std::string& text, bool skippable);
    // Sends what it can of what is held.
    void flush();

private:
    static constexpr std::size_t kMostHeld = 64 * 1024;

    int fd_;
    int writeFd_;  // a descriptor of its own where one can be had
    int restoreFlags_ = -1;
    std::string held_;
};

}  // namespace tandu::cli
