#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "services/AddService.h"
#include "storage/TextFile.h"

namespace tandu::cli {

namespace {

// The lines as loading a list file puts them in the box: trimmed, CR LF after each.
std::string listText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += textfile::trim(line) + "\r\n";
    }
    return text;
}

}  // namespace

int cmdAddList(CliContext& context, const Arguments& args) {
    const ParsedArguments parsed = parseArguments(args, {"-d", "-n"});
    if (!parsed.error.empty()) {
        return usageError(parsed.error);
    }
    if (parsed.positional.size() != 1) {
        return usageError("add-list takes one list file (- reads standard input)");
    }
    if (parsed.has("-n") && !validConnections(parsed.options.at("-n"))) {
        return usageError("-n takes a number of connections from 1 to 16");
    }
    const std::string& file = parsed.positional[0];
    std::vector<std::string> lines;
    if (file == "-") {
        std::string text;
        char block[64 * 1024];
        while (std::cin && text.size() <= textfile::kListLimit) {
            std::cin.read(block, sizeof block);
            text.append(block, static_cast<std::size_t>(std::cin.gcount()));
        }
        if (text.size() > textfile::kListLimit) {
            std::cerr << "tandu-cli: the list on standard input is larger than "
                      << textfile::kListLimit / 1024 << " KB\n";
            return kExitError;
        }
        lines = textfile::splitLines(text);
    } else {
        std::string reason;
        auto read = textfile::readLines(file, textfile::kListLimit, &reason);
        if (!read) {
            context.show({"The list file " + file + " cannot be read: " + reason + ".", "Error",
                          MsgIcon::Critical});
            return kExitError;
        }
        lines = std::move(*read);
    }
    Application& app = context.app();
    const AddTarget target = addTarget(app, parsed);
    const auto outcome =
        AddService(app).addList(listText(lines), target.folder, target.connections);
    if (outcome.message) {
        context.show(*outcome.message);
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
