#include "PosixProcessLauncher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace tandu {

bool PosixProcessLauncher::start(const LaunchRequest& request) {
    if (request.program.empty()) {
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(request.program.c_str()));
    for (const std::string& argument : request.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    // A pipe with close-on-exec tells the parent whether exec succeeded.
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return false;
    }
    if (child == 0) {
        // The grandchild lives on its own; the child ends at once.
        ::setsid();
        if (::fork() != 0) {
            ::_exit(0);
        }
        ::execvp(argv[0], argv.data());
        const char failed = 1;
        [[maybe_unused]] auto written = ::write(status[1], &failed, 1);
        ::_exit(127);
    }
    ::close(status[1]);
    int childStatus = 0;
    ::waitpid(child, &childStatus, 0);
    char failed = 0;
    const ssize_t n = ::read(status[0], &failed, 1);
    ::close(status[0]);
    return n == 0;
}

}  // namespace tandu
