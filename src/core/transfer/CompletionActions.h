#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/BackgroundWork.h"

namespace tandu {

class Download;
class TransferLock;

// The last piece is complete: the target is made durable beside the loop;
// then its row reads "Completed", and the next download of "Download all"
// or the shutdown follows while the download's own files go, beside the loop
// as well, the download's lock kept until they are gone.
class CompletionActions {
public:
    explicit CompletionActions(Download& download);
    // Work under way is waited for: no other process may take the download
    // while its files are half gone, and a process ends with them gone.
    ~CompletionActions();
    CompletionActions(const CompletionActions&) = delete;
    CompletionActions& operator=(const CompletionActions&) = delete;

    void run();
    // The download completed and its files are still being removed.
    bool removingFiles() const { return removing_; }
    // Waits for that here; a failure is shown at once.
    void settleRemoval();
    // The transfer ends: a sync under way is no longer awaited.
    void reset();

private:
    void synced(const std::string& failure);
    void removed(const std::string& failure);
    void finish();

    Download& engine_;
    bool syncing_ = false;
    bool durable_ = false;
    bool removing_ = false;
    std::unique_ptr<BackgroundWork::Job> job_;
    std::unique_ptr<BackgroundWork::Job> removal_;
    std::unique_ptr<TransferLock> removalLock_;
    // Tells a report of a sync begun before the last reset from a current one.
    std::uint64_t ticket_ = 0;
};

}  // namespace tandu
