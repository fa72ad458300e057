#pragma once

#include <cstdint>
#include <string>

namespace tandu::cli {

// The figures of the running download once a second: redrawn in place on a
// terminal, one line each time otherwise.
class ProgressLine {
public:
    explicit ProgressLine(bool terminal) : terminal_(terminal) {}
    ~ProgressLine() { finish(); }

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

    void show(const Figures& figures);
    // Ends a line left open on a terminal.
    void finish();

private:
    bool terminal_;
    bool open_ = false;
    std::size_t lastWidth_ = 0;
};

}  // namespace tandu::cli
