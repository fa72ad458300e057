#pragma once

#include <string>
#include <vector>

namespace tandu {

// A program to start without waiting for it. commandLine is the text the
// program composes (what a user would type); program and arguments are the
// same thing already split, so nothing is left to a shell's parsing.
struct LaunchRequest {
    std::string commandLine;
    std::string program;
    std::vector<std::string> arguments;
    bool minimizedWithFocus = true;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // False when the program could not be started.
    virtual bool start(const LaunchRequest& request) = 0;
};

}  // namespace tandu
