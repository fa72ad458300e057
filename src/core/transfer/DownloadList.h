#pragma once

#include <memory>
#include <string>
#include <vector>

#include "storage/CancelDownload.h"
#include "transfer/Download.h"
#include "transfer/DownloadEvents.h"
#include "transfer/DownloadSetup.h"
#include "transfer/OverallLimit.h"

namespace tandu {

// Whoever shows the list: told of rows as well as of what downloads do.
class DownloadListObserver : public DownloadEvents {
public:
    virtual void rowAdded(int row) = 0;
    // Rows gone, as their indexes before the removal, ascending.
    virtual void rowsRemoved(const std::vector<int>& rows) = 0;
};

// Every download of the definitions folder, in the order the rows show them.
class DownloadList : public DownloadEvents {
public:
    explicit DownloadList(DownloadSetup setup);
    DownloadList(const DownloadList&) = delete;
    DownloadList& operator=(const DownloadList&) = delete;

    void setObserver(DownloadListObserver* observer) { observer_ = observer; }
    // Told of each end after the observer.
    void setEndListener(std::function<void(Download&)> listener) { onEnded_ = std::move(listener); }

    // One row per definition file of the folder; `step` runs after each, so
    // a window can paint while a long list fills.
    void load(const std::function<void()>& step = {});
    // A row for a definition file just written, appended.
    Download& add(const std::string& definitionPath);
    // Deletes the download's files and its row; a running one is paused first.
    CancelOutcome cancel(int row);
    void clearCompleted();

    int count() const { return static_cast<int>(downloads_.size()); }
    Download& at(int row) { return *downloads_[static_cast<std::size_t>(row)]; }
    const Download& at(int row) const { return *downloads_[static_cast<std::size_t>(row)]; }
    int indexOf(const Download& download) const;
    // By the definition file's base name.
    Download* find(const std::string& name);
    int runningCount() const;
    // Running, and not only waiting for the disk after the last byte.
    int transferringCount() const;
    // Completed downloads whose own files are still being removed.
    bool removingFiles() const;
    // Waits until none is (milliseconds): before the machine shuts down.
    void settleRemovals();
    DownloadSetup& setup() { return setup_; }
    const DownloadSetup& setup() const { return setup_; }
    OverallLimit& overallLimit() { return overallLimit_; }
    const OverallLimit& overallLimit() const { return overallLimit_; }

    // --- DownloadEvents, from the downloads ---
    void downloadStarted(Download& download) override;
    void downloadChanged(Download& download) override;
    void downloadMessage(Download& download, const UserMessage& message) override;
    void downloadEnded(Download& download) override;

private:
    // The list's order file drops the downloads whose definition is gone.
    void forgetGone();
    bool targetBusy(const Download& asking, const std::string& path) const;

    DownloadSetup setup_;
    OverallLimit overallLimit_{setup_};
    std::vector<std::unique_ptr<Download>> downloads_;
    DownloadListObserver* observer_ = nullptr;
    std::function<void(Download&)> onEnded_;
};

}  // namespace tandu
