#include "services/ShutdownAction.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Environment.h"
#include "services/Application.h"

namespace tandu {

namespace {

// The text as one word for /bin/sh, whatever it holds.
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace

ShutdownAction::Script ShutdownAction::compose(const std::string& programFolder,
                                               const std::optional<std::string>& windir) {
    Script script;
    if (windir) {
        script.path = programFolder + "/shutdown.bat";
        script.contents = *windir + "\\system32\\shutdown.exe -s -t 05\r\n" + "del \"" +
                          programFolder + "\\shutdown.bat\"\r\n";
        script.launch.commandLine = script.path;
        script.launch.program = script.path;
    } else {
        // A shell reads a CR as part of the word before it: plain line ends here.
        script.path = programFolder + "/shutdown.sh";
        script.contents =
            "sleep 5; /sbin/shutdown -P now\nrm -f -- " + shellQuoted(script.path) + "\n";
        script.launch.commandLine = "/bin/sh " + shellQuoted(script.path);
        script.launch.program = "/bin/sh";
        script.launch.arguments = {script.path};
    }
    script.launch.minimizedWithFocus = true;
    return script;
}

std::optional<std::string> ShutdownAction::run(SystemParts& parts,
                                               const std::string& programFolder) {
    const Script script = compose(programFolder, parts.environment.variable("WINDIR"));
    std::FILE* file = std::fopen(script.path.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(script.contents.data(), 1, script.contents.size(),
                                                  file) == script.contents.size();
    const int error = errno;
    if (file != nullptr && std::fclose(file) != 0) {
        written = false;
    }
    if (!written) {
        return "The computer cannot be shut down: " + script.path + " cannot be written (" +
               std::strerror(error ? error : EIO) + ").";
    }
    if (!parts.launcher.start(script.launch)) {
        return "The computer cannot be shut down: " + script.path + " cannot be started.";
    }
    return std::nullopt;
}

}  // namespace tandu
