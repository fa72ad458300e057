#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "services/AddService.h"

namespace tandu::cli {

int cmdAdd(CliContext& context, const Arguments& args) {
    const ParsedArguments parsed = parseArguments(args, {"-d", "-n", "--checksum"});
    if (!parsed.error.empty()) {
        return usageError(parsed.error);
    }
    if (parsed.positional.empty()) {
        return usageError("add needs at least one URL");
    }
    if (parsed.has("-n") && !validConnections(parsed.options.at("-n"))) {
        return usageError("-n takes a number of connections from 1 to 16");
    }
    const std::string checksum = parsed.has("--checksum") ? parsed.options.at("--checksum") : "";
    if (!checksum.empty() && parsed.positional.size() != 1) {
        return usageError("--checksum goes with one URL");
    }
    if (const auto refusal = AddService::checksumRefusal(checksum)) {
        return usageError(refusal->text);
    }
    Application& app = context.app();
    const AddTarget target = addTarget(app, parsed);
    for (const std::string& url : parsed.positional) {
        const auto outcome =
            AddService(app).addUrl(url, target.folder, target.connections, nullptr, checksum);
        if (outcome.message) {
            context.show(*outcome.message);
        }
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
