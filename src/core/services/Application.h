#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Checksum.h"
#include "storage/CancelDownload.h"
#include "text/NumberText.h"

namespace tandu {

class Download;
class DownloadList;
class DownloadQueue;
class DriveLoop;
class Environment;
class BackgroundWork;
class FileHasher;
class ProcessLauncher;
class TransferLocks;

namespace net {
class Fetcher;
}

// What the program reaches outside plain C++, but the user.
struct SystemParts {
    net::Fetcher& fetcher;
    TransferLocks& locks;
    ProcessLauncher& launcher;
    Environment& environment;
    FileHasher& hasher;
    BackgroundWork& background;
};

// The program under both faces: its folder, its downloads, the queue that
// starts them and the loop that drives them. The services work on it; a face
// creates one, shows what its downloads publish and calls the services.
class Application {
public:
    Application(std::string programFolder, SystemParts parts, NumberText numbers);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The folder of the executable, without a trailing "/".
    const std::string& programFolder() const { return programFolder_; }
    // The program folder followed by "/definitions/".
    std::string definitionsFolder() const { return programFolder_ + "/definitions/"; }
    std::string settingsPath() const { return programFolder_ + "/config.cfg"; }
    const NumberText& numbers() const { return numbers_; }
    SystemParts& parts() { return parts_; }

    DownloadList& downloads() { return *downloads_; }
    DownloadQueue& queue() { return *queue_; }
    DriveLoop& drive() { return *drive_; }

    // Reads the definitions folder into the list, once; `step` runs after each row.
    void loadList(const std::function<void()>& step = {});
    // The row shown with that name, else the download of that definition name.
    Download* find(const std::string& name);
    // Starts the selected download, or with "Download all" on a run of the
    // queue; the queue takes its limit from the settings first. The message
    // when the settings file is missing and nothing could start.
    std::optional<UserMessage> start(Download* selected, bool all);
    // With "Start downloads as soon as they are added" on, starts the rows
    // from `firstRow` on while fewer than the simultaneous downloads run;
    // the others wait.
    void startAdded(int firstRow);
    // Deletes a download's files and its row.
    CancelOutcome cancel(int row);
    void clearCompleted();
    // A download's own speed limit (KB/s, 0 for none) and the checksum its
    // file must match (none: only one its URL carries, or the server's):
    // stored with it and applied at once. The message when they cannot be.
    std::optional<UserMessage> setOwnLimit(Download& download, std::int64_t kbps);
    std::optional<UserMessage> setChecksum(Download& download,
                                           const std::optional<Checksum>& checksum);

private:
    std::string programFolder_;
    SystemParts parts_;
    NumberText numbers_;
    std::unique_ptr<DownloadList> downloads_;
    std::unique_ptr<DownloadQueue> queue_;
    std::unique_ptr<DriveLoop> drive_;
    bool loaded_ = false;
};

}  // namespace tandu
