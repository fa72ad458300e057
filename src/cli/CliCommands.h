#pragma once

#include <string>
#include <vector>

namespace tandu::cli {

class CliContext;
using Arguments = std::vector<std::string>;

// Each command fills a form from its arguments and presses what a user would.
int cmdList(CliContext& context, const Arguments& args);
int cmdAdd(CliContext& context, const Arguments& args);
int cmdAddList(CliContext& context, const Arguments& args);
int cmdAddSeq(CliContext& context, const Arguments& args);
int cmdGet(CliContext& context, const Arguments& args);
int cmdCancel(CliContext& context, const Arguments& args);
int cmdExport(CliContext& context, const Arguments& args);
int cmdCheck(CliContext& context, const Arguments& args);
int cmdPrefs(CliContext& context, const Arguments& args);

// Writes the usage text to standard error and answers the usage status.
int usageError(const std::string& message);
const char* usageText();

}  // namespace tandu::cli
