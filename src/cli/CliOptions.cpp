#include "CliOptions.h"

#include <filesystem>

#include "services/AddService.h"
#include "services/Application.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace tandu::cli {

ParsedArguments parseArguments(const Arguments& args, const std::set<std::string>& valueOptions) {
    ParsedArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "-2" is a negative number (a sequence's start or end), not an option.
        const bool number = arg.size() > 1 && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
        if (arg.size() > 1 && arg[0] == '-' && !number) {
            if (valueOptions.count(arg) == 0) {
                parsed.error = "unknown option '" + arg + "'";
                return parsed;
            }
            if (i + 1 >= args.size()) {
                parsed.error = "option '" + arg + "' needs a value";
                return parsed;
            }
            parsed.options[arg] = args[++i];
            // An empty folder would become the root of the file system.
            if (arg == "-d" && textfile::trim(parsed.options[arg]).empty()) {
                parsed.error = "-d takes a folder";
                return parsed;
            }
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

bool validConnections(const std::string& text) {
    const auto count = textfile::parseWholeNumber(text);
    return count && *count >= 1 && *count <= 16 && text == std::to_string(*count);
}

std::string absoluteFolder(const std::string& folder) {
    if (folder.empty()) {
        return folder;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(folder, error);
    return error ? folder : absolute.string();
}

AddTarget addTarget(Application& app, const ParsedArguments& arguments) {
    const SettingsFile::Defaults settings = SettingsFile::defaults(app.settingsPath());
    AddTarget target;
    const auto n = arguments.options.find("-n");
    target.connections = n != arguments.options.end() ? n->second : settings.connections;
    const auto d = arguments.options.find("-d");
    if (d != arguments.options.end()) {
        target.folder = absoluteFolder(d->second);
    } else if (settings.fromFile && !settings.folder.empty()) {
        target.folder = settings.folder;
    } else {
        std::error_code error;
        target.folder = std::filesystem::current_path(error).string();
    }
    target.folder = WithTrailingSlash(target.folder);
    return target;
}

}  // namespace tandu::cli
