#pragma once

#include <optional>
#include <string>

namespace tandu {

// Where a download stands; the texts are the ones every front-end shows.
// Verifying: every byte is in, the file is being hashed; it still runs.
enum class DownloadState { Waiting, Downloading, Paused, Completed, Error, Verifying };

const char* StateText(DownloadState state);
std::optional<DownloadState> StateFromText(const std::string& text);

}  // namespace tandu
