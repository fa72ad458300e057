#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "dialogs/frmURL.h"

namespace tandu::cli {

int cmdAdd(CliContext& context, const Arguments& args) {
    const ParsedArguments parsed = parseArguments(args, {"-d", "-n"});
    if (!parsed.error.empty()) {
        return usageError(parsed.error);
    }
    if (parsed.positional.empty()) {
        return usageError("add needs at least one URL");
    }
    if (parsed.has("-n") && !validConnections(parsed.options.at("-n"))) {
        return usageError("-n takes a number of connections from 1 to 16");
    }
    frmMain& main = context.load();
    for (const std::string& url : parsed.positional) {
        context.ui.formFillers["frmURL"] = [&](Form& form) {
            auto& dialog = static_cast<frmURL&>(form);
            dialog.txtLink.setText(url);
            fillDestination(dialog, parsed);
            dialog.cmbOK.click();
        };
        main.menURL_Click();
    }
    return context.ui.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
