#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "storage/TextFile.h"
#include "dialogs/frmList.h"

namespace tandu::cli {

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
    std::vector<std::string> standardInput;
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
        standardInput = textfile::splitLines(text);
    }
    frmMain& main = context.load();
    context.ui.formFillers["frmList"] = [&](Form& form) {
        auto& dialog = static_cast<frmList&>(form);
        if (file == "-") {
            dialog.appendLines(standardInput);
        } else {
            context.ui.fileAnswers.push_back(file);
            dialog.cmbFile_Click();
            if (context.ui.errorShown()) {
                return;  // the list could not be read
            }
        }
        fillDestination(dialog, parsed);
        dialog.cmbOK.click();
    };
    main.menList_Click();
    return context.ui.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
