#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "storage/DefinitionFile.h"
#include "storage/ProgressWriter.h"
#include "text/NumberText.h"
#include "transfer/HelpRules.h"
#include "transfer/RangeRules.h"

namespace tandu {

class BackgroundWork;
class Download;
class FileHasher;
class TransferLocks;

namespace net {
class Fetcher;
}

// What every download of a process shares.
struct DownloadSetup {
    net::Fetcher& fetcher;
    TransferLocks& locks;
    FileHasher& hasher;
    BackgroundWork& background;
    NumberText numbers;
    std::string programFolder;  // without a trailing "/"
    std::string definitionsFolder() const { return programFolder + "/definitions/"; }
    std::string settingsPath() const { return programFolder + "/config.cfg"; }
    // Whether another running download writes that path.
    std::function<bool(const Download& asking, const std::string& path)> targetBusy;
    // Writes `definition` under `name`, numbered as a new download's would be
    // where the list, the definitions or the folder have it; the name it got.
    // None (and nothing written) when that cannot be done.
    std::function<std::optional<std::string>(const std::string& name,
                                             const DefinitionFile& definition)>
        claimName;
    // A running download has every byte in and waits only for the disk.
    std::function<void(Download&)> lastByteIn;
    // Seconds (ticks) before each retry of a broken connection; when all are
    // spent the download fails.
    std::vector<int> retryDelays{1, 2, 4, 8, 16};
    HelpRules help{};
    RangeRules ranges{};
    // How often a running download's progress is made durable.
    ProgressWriter::Batch progressBatch{};
    std::function<std::chrono::steady_clock::time_point()> clock = [] {
        return std::chrono::steady_clock::now();
    };
};

}  // namespace tandu
