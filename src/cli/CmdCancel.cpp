#include "CliCommands.h"

namespace tandu::cli {

int cmdCancel(CliContext&, const Arguments&) { return usageError("cancel is not available yet"); }

}  // namespace tandu::cli
