#include <filesystem>

#include "CliCommands.h"
#include "CliContext.h"

namespace tandu::cli {

int cmdExport(CliContext& context, const Arguments& args) {
    if (args.size() != 1 || args[0].empty()) {
        return usageError("export takes one file name");
    }
    frmMain& main = context.load();
    // The save dialog answers with a full path; so does the console.
    context.ui.fileAnswers.push_back(std::filesystem::absolute(args[0]).string());
    main.menExport.click();
    return context.ui.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
