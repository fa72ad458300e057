#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CliCommands.h"

namespace tandu {
class Application;
}

namespace tandu::cli {

// Positional arguments and "-x VALUE" options, in any order.
struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::string error;  // set when the arguments cannot be read

    bool has(const std::string& option) const { return options.count(option) != 0; }
};

// `valueOptions` take the next argument as their value; any other argument
// starting with "-" (but "-" alone and negative numbers) is an unknown option.
ParsedArguments parseArguments(const Arguments& args, const std::set<std::string>& valueOptions);

// A connections count the boxes offer: "1" to "16".
bool validConnections(const std::string& text);
// A relative folder made absolute against the current directory.
std::string absoluteFolder(const std::string& folder);

// Where the add commands put downloads and over how many connections: -n N,
// else the settings' number; -d DIR, else the settings' default folder where
// there is one, else the current directory. The folder ends with "/".
struct AddTarget {
    std::string folder;
    std::string connections;
};
AddTarget addTarget(Application& app, const ParsedArguments& arguments);

}  // namespace tandu::cli
