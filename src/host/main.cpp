// The native-messaging host of the browser extension: takes one checked
// address and starts the program folder's tandu with "-url ADDRESS".
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "HostRequest.h"
#include "storage/NativeHostManifests.h"

extern char** environ;

namespace {

std::filesystem::path ownPath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

// Without a shell, in a session of its own so the browser never waits for
// it; the browser's pipes stay with the host alone.
std::string startTandu(const std::string& address) {
    // Only the tandu beside this program, never one from the working folder.
    const std::filesystem::path self = ownPath();
    if (!self.is_absolute()) {
        return "tandu cannot be found: where tandu-host itself is cannot be told "
               "(/proc/self/exe cannot be read).";
    }
    const std::string program = (self.parent_path() / "tandu").string();
    const std::string argument = "-url " + address;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                    nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? std::string() : program + " cannot be started: " + std::strerror(error);
}

int registerHost() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        std::cerr << "tandu-host: HOME is not set\n";
        return 1;
    }
    std::string reason;
    if (!tandu::NativeHostManifests::write(home, ownPath().string(), &reason)) {
        std::cerr << "tandu-host: " << reason << "\n";
        return 1;
    }
    for (const auto& file : tandu::NativeHostManifests::files(home, ownPath().string())) {
        std::cout << file.path << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A browser passes its manifest's path or the extension's origin.
    if (argc == 2 && std::strcmp(argv[1], "--register") == 0) {
        return registerHost();
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout
            << "usage: tandu-host [--register]\n"
               "  Started by the browser for the \"Download with Tandu\" extension: reads\n"
               "  one {\"url\": ADDRESS} message on standard input and starts tandu with it.\n"
               "  --register  writes the browsers' host manifests into the user's home\n";
        return 0;
    }
    tandu::HostRequest request = tandu::HostRequest::read(std::cin);
    if (request.accepted()) {
        if (std::string failure = startTandu(request.address()); !failure.empty()) {
            request = tandu::HostRequest::refused(std::move(failure));
        }
    }
    std::cout << request.answer() << std::flush;
    return request.accepted() ? 0 : 1;
}
