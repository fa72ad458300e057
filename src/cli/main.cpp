#include <clocale>
#include <csignal>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>

#include "CliCommands.h"
#include "CliContext.h"

namespace tandu::cli {

const char* usageText() {
    return "usage: tandu-cli COMMAND [ARGUMENTS]\n"
           "  list                                   show the download list\n"
           "  add URL... [-d DIR] [-n N] [--checksum ALG=HEX]\n"
           "                                         add downloads by URL (ALG: sha256,\n"
           "                                         sha512, sha1 or md5; one URL)\n"
           "  add-list FILE [-d DIR] [-n N]          add every URL of a list file (- reads stdin)\n"
           "  add-seq PATTERN START END [-w DIGITS] [-d DIR] [-n N]\n"
           "                                         add a numeric sequence (# is the number)\n"
           "  get [NAME...] [--all] [-j N] [--limit RATE] [--shutdown]\n"
           "                                         download the NAMEs, or every queued "
           "download,\n"
           "                                         up to N at once, together at most RATE\n"
           "                                         (e.g. 500K, 2M; 0: none)\n"
           "  cancel NAME                            cancel a download and remove its files\n"
           "  export FILE                            write every download's URL to FILE\n"
           "  check URL                              send a HEAD request and print the answer\n"
           "  prefs [-n N] [-d DIR] [-b SIZE] [-j N] [--limit RATE] [--start-at-once on|off]\n"
           "                                         show or change the settings\n"
           "  --help | --version\n";
}

int usageError(const std::string& message) {
    if (!message.empty()) {
        std::cerr << "tandu-cli: " << message << '\n';
    }
    std::cerr << usageText();
    return kExitUsage;
}

}  // namespace tandu::cli

int main(int argc, char** argv) {
    using namespace tandu::cli;
    std::setlocale(LC_ALL, "");
    // A closed output (`| head`) ends what is printed, not the download.
    std::signal(SIGPIPE, SIG_IGN);
    if (argc < 2) {
        return usageError("");
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::cout << usageText();
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << "tandu-cli 1.0 Beta\n";
        return kExitOk;
    }
    const std::map<std::string, std::function<int(CliContext&, const Arguments&)>> commands = {
        {"list", cmdList},      {"add", cmdAdd},     {"add-list", cmdAddList},
        {"add-seq", cmdAddSeq}, {"get", cmdGet},     {"cancel", cmdCancel},
        {"export", cmdExport},  {"check", cmdCheck}, {"prefs", cmdPrefs},
    };
    auto found = commands.find(command);
    if (found == commands.end()) {
        return usageError("unknown command '" + command + "'");
    }
    Arguments args(argv + 2, argv + argc);
    try {
        CliContext context(executableFolder());
        return found->second(context, args);
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << '\n';
        return kExitError;
    }
}
