#include "transfer/DriveLoop.h"

#include "transfer/DownloadList.h"

namespace tandu {

void DriveLoop::tick() {
    list_.overallLimit().refresh();
    // A tick may end a download and start the next: the count is read anew.
    for (int row = 0; row < list_.count(); ++row) {
        list_.at(row).tick();
    }
    for (int row = 0; row < list_.count(); ++row) {
        if (list_.at(row).stalled()) {
            list_.at(row).pauseStalled();
        }
    }
}

void DriveLoop::balance() {
    for (int row = 0; row < list_.count(); ++row) {
        list_.at(row).balanceNow();
    }
}

}  // namespace tandu
