#pragma once

#include <string>

namespace tandu {

class ListView;
class TransferLocks;
class UiServices;

// Cancels the download of the selected row: deletes what it left on disk
// (its partly written target, progress and definition files) and removes its
// row. Only regular files that are the download's own are deleted; a download
// another process is transferring is refused. Answers whether the row went.
bool CancelDownload(ListView& lstDown, const std::string& definitionsFolder, UiServices& ui,
                    TransferLocks& locks);

}  // namespace tandu
