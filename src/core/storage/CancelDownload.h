#pragma once

#include <string>

namespace tandu {

class TransferLocks;
class UiServices;

// Cancels a download: deletes what it left on disk (its partly written
// target, progress and definition files). Only regular files that are the download's own are
// deleted; a download another process is transferring is refused. Answers whether the files went.
bool CancelDownload(const std::string& definitionPath, const std::string& name, UiServices& ui,
                    TransferLocks& locks);

}  // namespace tandu
