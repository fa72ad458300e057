#include "CliCommands.h"

namespace tandu::cli {

int cmdAddSeq(CliContext&, const Arguments&) { return usageError("add-seq is not available yet"); }

}  // namespace tandu::cli
