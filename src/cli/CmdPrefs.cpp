#include "CliCommands.h"

namespace tandu::cli {

int cmdPrefs(CliContext&, const Arguments&) { return usageError("prefs is not available yet"); }

}  // namespace tandu::cli
