#include <filesystem>

#include "CliCommands.h"
#include "CliContext.h"
#include "services/ListExport.h"

namespace tandu::cli {

int cmdExport(CliContext& context, const Arguments& args) {
    if (args.size() != 1 || args[0].empty()) {
        return usageError("export takes one file name");
    }
    // The save dialog answers with a full path; so does the console.
    const std::string path = std::filesystem::absolute(args[0]).string();
    const ListExport::Outcome outcome = ListExport(context.app().downloads()).write(path);
    if (outcome.message) {
        context.show(*outcome.message);
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
