#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/UserMessage.h"

namespace tandu {

class DownloadList;

// Writes the URL (line 3) of every download of a list into a text file, one
// per line, in the list's order. Definition files are only ever read.
class ListExport {
public:
    struct Outcome {
        bool written = false;
        // Why nothing was written, or which definitions were left out.
        std::optional<UserMessage> message;
    };

    explicit ListExport(const DownloadList& downloads) : downloads_(downloads) {}

    // `step` runs after each download, so a window can paint meanwhile.
    // Definition files too short to hold a URL are skipped and reported.
    Outcome write(const std::string& exportPath, const std::function<void()>& step = {});

    const std::vector<std::string>& skipped() const { return skipped_; }

private:
    const DownloadList& downloads_;
    std::vector<std::string> skipped_;
};

}  // namespace tandu
