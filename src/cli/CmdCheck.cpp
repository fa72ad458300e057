#include "CliCommands.h"

namespace tandu::cli {

int cmdCheck(CliContext&, const Arguments&) { return usageError("check is not available yet"); }

}  // namespace tandu::cli
