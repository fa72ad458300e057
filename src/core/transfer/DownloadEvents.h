#pragma once

#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class Download;

// What a download tells whoever presents it. Each call comes from inside the
// download's own step; the download is in a settled state when it is made.
class DownloadEvents {
public:
    virtual ~DownloadEvents() = default;
    // A transfer began (the first request is out, or a resume connects).
    virtual void downloadStarted(Download& download) = 0;
    // State, figures or pieces changed.
    virtual void downloadChanged(Download& download) = 0;
    virtual void downloadMessage(Download& download, const UserMessage& message) = 0;
    // The transfer is over (completed, paused or failed); nothing more runs.
    virtual void downloadEnded(Download& download) = 0;
};

}  // namespace tandu
