#include "CliCommands.h"

namespace tandu::cli {

int cmdAdd(CliContext&, const Arguments&) { return usageError("add is not available yet"); }

}  // namespace tandu::cli
