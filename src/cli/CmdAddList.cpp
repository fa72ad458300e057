#include "CliCommands.h"

namespace tandu::cli {

int cmdAddList(CliContext&, const Arguments&) { return usageError("add-list is not available yet"); }

}  // namespace tandu::cli
