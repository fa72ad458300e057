// The native-messaging host of the browser extension: takes one checked
// link and hands it to the running window over its private socket, first
// starting the program folder's tandu, with no argument, when none runs.
// Nothing of the link ever goes on a command line.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "HostRequest.h"
#include "InstanceSocket.h"
#include "storage/NativeHostManifests.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

std::filesystem::path ownPath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

// Without a shell, in a session of its own so the browser never waits for
// it; the browser's pipes stay with the host alone.
std::string startTandu() {
    // Only the tandu beside this program, never one from the working folder.
    const std::filesystem::path self = ownPath();
    if (!self.is_absolute()) {
        return "tandu cannot be found: where tandu-host itself is cannot be told "
               "(/proc/self/exe cannot be read).";
    }
    const std::string program = (self.parent_path() / "tandu").string();
    struct stat info {};
    if (::stat(program.c_str(), &info) != 0) {
        return "Tandu is not installed beside its browser helper: " + program +
               " is missing. Install Tandu again (cmake --install).";
    }
    if (!S_ISREG(info.st_mode) || ::access(program.c_str(), X_OK) != 0) {
        return program + " is not a program that can be run. Make it executable (chmod +x " +
               program + ") or install Tandu again.";
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? std::string()
                      : program + " cannot be started (" + std::strerror(error) +
                            "). Install Tandu again.";
}

// The running window takes the link; a first start gets it once its window is up.
std::string handOver(const tandu::HandOffMessage& message) {
    std::string reason;
    const std::string socket = tandu::InstanceSocket::path(&reason);
    if (socket.empty()) {
        return "Tandu cannot be reached: " + reason + ".";
    }
    const std::string line = tandu::InstanceSocket::kOpen + message.json();
    if (tandu::InstanceSocket::deliver(socket, line, 2s)) {
        return {};
    }
    if (std::string failure = startTandu(); !failure.empty()) {
        return failure;
    }
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(100ms);
        if (tandu::InstanceSocket::deliver(socket, line, 2s)) {
            return {};
        }
    }
    return "Tandu was started but did not take the link within 20 seconds. Try again once its "
           "window shows.";
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
               "  one {\"url\": ADDRESS, ...} message on standard input and hands it to\n"
               "  Tandu's window, starting tandu when it is not running.\n"
               "  --address   reads one address on standard input instead (tandu-url)\n"
               "  --register  writes the browsers' host manifests into the user's home\n";
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--address") == 0) {
        std::string address;
        std::getline(std::cin, address);
        tandu::HandOffMessage link;
        link.url = address;
        std::string failure = tandu::HandOffMessage::addressProblem(address);
        if (failure.empty()) {
            failure = handOver(link);
        }
        if (!failure.empty()) {
            std::cerr << "tandu-url: " << failure << "\n";
        }
        return failure.empty() ? 0 : 1;
    }
    tandu::HostRequest request = tandu::HostRequest::read(std::cin);
    if (request.accepted()) {
        if (std::string failure = handOver(request.message()); !failure.empty()) {
            request = tandu::HostRequest::refused(std::move(failure));
        }
    }
    std::cout << request.answer() << std::flush;
    return request.accepted() ? 0 : 1;
}
