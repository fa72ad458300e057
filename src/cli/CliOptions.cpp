#include "CliOptions.h"

#include <filesystem>

#include "storage/TextFile.h"
#include "dialogs/AddDialog.h"

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

void fillDestination(AddDialog& dialog, const ParsedArguments& arguments) {
    if (auto n = arguments.options.find("-n"); n != arguments.options.end()) {
        dialog.cboConnections.setText(n->second);
    }
    const auto d = arguments.options.find("-d");
    const bool keepDefault = d == arguments.options.end() && dialog.chkDefault.checked() &&
                             !dialog.DefaultFolder.empty();
    if (keepDefault) {
        return;
    }
    if (dialog.chkDefault.checked()) {
        dialog.chkDefault.click();
    }
    std::error_code error;
    dialog.txtSave.setText(d != arguments.options.end()
                               ? absoluteFolder(d->second)
                               : std::filesystem::current_path(error).string());
}

}  // namespace tandu::cli
