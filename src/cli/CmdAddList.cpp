#include <iostream>
#include <iterator>

#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "catalogue/TextFile.h"
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
        const std::string text((std::istreambuf_iterator<char>(std::cin)),
                               std::istreambuf_iterator<char>());
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
