#include "CliCommands.h"
#include "CliContext.h"
#include "storage/FileNames.h"

namespace tandu::cli {

int cmdCancel(CliContext& context, const Arguments& args) {
    if (args.size() != 1) {
        return usageError("cancel takes one download name");
    }
    DownloadList& downloads = context.downloads();
    const std::string& name = args[0];
    // The name shown first, then the definition file's own name.
    int row = -1;
    for (int i = 0; i < downloads.count() && row < 0; ++i) {
        row = downloads.at(i).text() == name ? i : -1;
    }
    if (row < 0) {
        if (const Download* download = downloads.find(name)) {
            row = downloads.indexOf(*download);
        }
    }
    if (row < 0) {
        context.ui.messageBox("There is no download named " + name + ".", "Error",
                              MsgIcon::Critical);
        return kExitError;
    }
    // Gone meanwhile (another process cancelled or finished it): nothing to do.
    if (!FileExists(downloads.at(row).definitionPath())) {
        context.ui.messageBox("The download " + name + " has no definition file any more.", "Error",
                              MsgIcon::Critical);
        return kExitError;
    }
    if (!downloads.cancel(row, context.ui)) {
        if (!context.ui.errorShown()) {
            context.ui.messageBox("The download " + name + " was not cancelled.", "Error",
                                  MsgIcon::Critical);
        }
        return kExitError;
    }
    return context.ui.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
