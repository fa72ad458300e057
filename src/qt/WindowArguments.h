#pragma once

#include <string>
#include <vector>

namespace tandu::qt {

// What the window makes of its command line once Qt has taken its own
// options out: the "-url" form (one argument beginning with "-url", or
// "-url" followed by an address), "--help", or nothing else.
class WindowArguments {
public:
    enum class Verdict { Run, Help, Unknown };

    explicit WindowArguments(const std::vector<std::string>& arguments);

    Verdict verdict() const { return verdict_; }
    // The first argument the window does not know (Unknown only).
    const std::string& unknown() const { return unknown_; }

    static const char* usage();

private:
    Verdict verdict_ = Verdict::Run;
    std::string unknown_;
};

}  // namespace tandu::qt
