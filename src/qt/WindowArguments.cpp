#include "WindowArguments.h"

namespace tandu::qt {

WindowArguments::WindowArguments(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            verdict_ = Verdict::Help;
            return;
        }
        if (argument.starts_with("-url")) {
            if (argument == "-url") {
                ++i;  // the address that follows is no option, whatever it looks like
            }
            continue;
        }
        // Words that are no options are what a browser may pass; the start-up
        // ignores them as it always did.
        if (argument.starts_with("-") && verdict_ == Verdict::Run) {
            verdict_ = Verdict::Unknown;
            unknown_ = argument;
        }
    }
}

const char* WindowArguments::usage() {
    return "usage: tandu [\"-url ADDRESS\"]\n"
           "  Starts the Tandu Download Manager window.\n"
           "  \"-url ADDRESS\"  one argument: opens the Add URL dialog with ADDRESS, or hands\n"
           "                 ADDRESS to the window already running, which opens Add URL\n"
           "                 on it (tandu-url does the same without a command line)\n"
           "  --help         shows this text\n"
           "  Qt's own options (-platform, -style, -display, ...) are accepted as well.\n"
           "  The console front-end is tandu-cli (see tandu-cli --help).\n";
}

}  // namespace tandu::qt
