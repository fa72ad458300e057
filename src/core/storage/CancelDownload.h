#pragma once

#include <optional>
#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class TransferLocks;

// How a cancel went: whether the download's files went, and what to tell the
// user (why not, or what was left in place).
struct CancelOutcome {
    bool cancelled = false;
    std::optional<UserMessage> message;
};

// Cancels a download: deletes what it left on disk (its partly written
// target, progress and definition files). Only regular files that are the
// download's own are deleted; a download another process is transferring is
// refused.
CancelOutcome CancelDownload(const std::string& definitionPath, const std::string& name,
                             TransferLocks& locks);

}  // namespace tandu
