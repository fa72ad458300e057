#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "storage/ProgressWriter.h"
#include "text/NumberText.h"
#include "transfer/HelpRules.h"

namespace tandu {

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
    NumberText numbers;
    std::string programFolder;  // without a trailing "/"
    std::string definitionsFolder() const { return programFolder + "/definitions/"; }
    std::string settingsPath() const { return programFolder + "/config.cfg"; }
    // Whether another running download writes that path.
    std::function<bool(const Download& asking, const std::string& path)> targetBusy;
    // Seconds (ticks) before each retry of a broken connection; when all are
    // spent the download fails.
    std::vector<int> retryDelays{1, 2, 4, 8, 16};
    HelpRules help{};
    // How often a running download's progress is made durable.
    ProgressWriter::Batch progressBatch{};
    std::function<std::chrono::steady_clock::time_point()> clock = [] {
        return std::chrono::steady_clock::now();
    };
};

}  // namespace tandu
