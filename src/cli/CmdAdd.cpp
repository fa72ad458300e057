#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "services/AddService.h"

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
    Application& app = context.app();
    const AddTarget target = addTarget(app, parsed);
    for (const std::string& url : parsed.positional) {
        const auto outcome = AddService(app).addUrl(url, target.folder, target.connections);
        if (outcome.message) {
            context.show(*outcome.message);
        }
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
