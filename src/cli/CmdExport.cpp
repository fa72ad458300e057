#include "CliCommands.h"

namespace tandu::cli {

int cmdExport(CliContext&, const Arguments&) { return usageError("export is not available yet"); }

}  // namespace tandu::cli
