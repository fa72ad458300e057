#include "CliCommands.h"

// Commands whose forms are still to come answer a usage error for now.
namespace tandu::cli {

int cmdAdd(CliContext&, const Arguments&) { return usageError("add is not available yet"); }
int cmdAddList(CliContext&, const Arguments&) { return usageError("add-list is not available yet"); }
int cmdAddSeq(CliContext&, const Arguments&) { return usageError("add-seq is not available yet"); }
int cmdGet(CliContext&, const Arguments&) { return usageError("get is not available yet"); }
int cmdCancel(CliContext&, const Arguments&) { return usageError("cancel is not available yet"); }
int cmdExport(CliContext&, const Arguments&) { return usageError("export is not available yet"); }
int cmdCheck(CliContext&, const Arguments&) { return usageError("check is not available yet"); }
int cmdPrefs(CliContext&, const Arguments&) { return usageError("prefs is not available yet"); }

}  // namespace tandu::cli
