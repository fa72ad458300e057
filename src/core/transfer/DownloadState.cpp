#include "transfer/DownloadState.h"

#include <array>

namespace tandu {

namespace {
constexpr std::array<const char*, 6> kTexts = {"Waiting",   "Downloading", "Paused",
                                               "Completed", "Error",       "Verifying"};
}  // namespace

const char* StateText(DownloadState state) {
    return kTexts[static_cast<std::size_t>(state)];
}

std::optional<DownloadState> StateFromText(const std::string& text) {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (text == kTexts[i]) {
            return static_cast<DownloadState>(i);
        }
    }
    return std::nullopt;
}

}  // namespace tandu
