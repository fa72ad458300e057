#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "NonBlockingOutput.h"

namespace tandu::cli {

// The figures of the running downloads once a second, one line each: redrawn
// in place on a terminal, printed anew each time otherwise. Never waits for
// the reader: figures it is not ready for are skipped.
class ProgressLine {
public:
    ProgressLine(bool terminal, NonBlockingOutput& out) : terminal_(terminal), out_(out) {}
    ~ProgressLine() { interrupt(); }

    struct Figures {
        std::string name;
        std::string state;
        std::string size;
        std::string speed;
        std::string eta;
        std::int64_t done = 0;
        std::int64_t total = 0;
    };
    static std::string format(const Figures& figures);

    void show(const std::vector<Figures>& running);
    // A download's last figures, left above the lines still redrawn.
    void done(const Figures& figures);
    // Ends the lines left open on a terminal, e.g. before a message.
    void interrupt();

private:
    // Back to the first open line, erasing from there on.
    std::string rewind();

    bool terminal_;
    NonBlockingOutput& out_;
    std::size_t open_ = 0;  // lines drawn on the terminal, the cursor on the last
};

}  // namespace tandu::cli
