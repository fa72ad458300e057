#include "CliCommands.h"

namespace tandu::cli {

int cmdGet(CliContext&, const Arguments&) { return usageError("get is not available yet"); }

}  // namespace tandu::cli
