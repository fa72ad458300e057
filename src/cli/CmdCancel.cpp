#include "CliCommands.h"
#include "CliContext.h"
#include "storage/FileNames.h"
#include "transfer/DownloadList.h"

namespace tandu::cli {

int cmdCancel(CliContext& context, const Arguments& args) {
    if (args.size() != 1) {
        return usageError("cancel takes one download name");
    }
    Application& app = context.app();
    const std::string& name = args[0];
    const Download* download = app.find(name);
    auto refuse = [&](const std::string& text) {
        context.show({text, "Error", MsgIcon::Critical});
        return kExitError;
    };
    if (download == nullptr) {
        return refuse("There is no download named " + name + ".");
    }
    // Gone meanwhile (another process cancelled or finished it): nothing to do.
    if (!FileExists(download->definitionPath())) {
        return refuse("The download " + name + " has no definition file any more.");
    }
    const CancelOutcome outcome = app.cancel(app.downloads().indexOf(*download));
    if (outcome.message) {
        context.show(*outcome.message);
    }
    if (!outcome.cancelled && !context.errorShown()) {
        return refuse("The download " + name + " was not cancelled.");
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
