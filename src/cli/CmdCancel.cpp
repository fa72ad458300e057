#include "CliCommands.h"
#include "CliContext.h"

namespace tandu::cli {

int cmdCancel(CliContext& context, const Arguments& args) {
    if (args.size() != 1) {
        return usageError("cancel takes one download name");
    }
    frmMain& main = context.load();
    const std::string& name = args[0];
    for (int row = 0; row < main.lstDown.rowCount(); ++row) {
        if (main.lstDown.text(row) == name) {
            main.lstDown.clickRow(row);
            // Freshly loaded rows are all "Waiting" or "Paused": the button
            // a click would offer for either.
            main.cmbCancel_Click();
            return context.ui.errorShown() ? kExitError : kExitOk;
        }
    }
    context.ui.messageBox("There is no download named " + name + ".", "Error", MsgIcon::Critical);
    return kExitError;
}

}  // namespace tandu::cli
