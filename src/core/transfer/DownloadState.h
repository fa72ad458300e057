#pragma once

#include <optional>
#include <string>

namespace tandu {

// Where a download stands; the texts are the ones every front-end shows.
enum class DownloadState { Waiting, Downloading, Paused, Completed, Error };

const char* StateText(DownloadState state);
std::optional<DownloadState> StateFromText(const std::string& text);

}  // namespace tandu
