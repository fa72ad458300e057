#include "transfer/DownloadList.h"

#include <algorithm>

#include "storage/DownloadOrder.h"
#include "storage/DownloadRows.h"
#include "storage/FileNames.h"

namespace tandu {

DownloadList::DownloadList(DownloadSetup setup) : setup_(std::move(setup)) {
    setup_.targetBusy = [this](const Download& asking, const std::string& path) {
        return targetBusy(asking, path);
    };
}

void DownloadList::load(const std::function<void()>& step) {
    ScanDefinitions(setup_.programFolder + "/definitions", [&](const std::string& path) {
        add(path);
        if (step) {
            step();
        }
    });
}

Download& DownloadList::add(const std::string& definitionPath) {
    const DownloadRow row = ReadDownloadRow(setup_.numbers, definitionPath);
    auto download =
        std::make_unique<Download>(setup_, *this, definitionPath, row.text,
                                   row.paused ? DownloadState::Paused : DownloadState::Waiting);
    download->setRowState(download->state(), row.size);
    download->remember(row);
    downloads_.push_back(std::move(download));
    if (observer_ != nullptr) {
        observer_->rowAdded(count() - 1);
    }
    return *downloads_.back();
}

CancelOutcome DownloadList::cancel(int row) {
    if (row < 0 || row >= count()) {
        return {};
    }
    Download& download = at(row);
    if (download.running()) {
        download.pause();  // lets go of its lock and file
    }
    CancelOutcome outcome = CancelDownload(download.definitionPath(), download.text(), setup_.locks);
    if (!outcome.cancelled) {
        return outcome;
    }
    // The pause may have told its observer things, and rows may have gone meanwhile.
    const int now = indexOf(download);
    if (now < 0) {
        return outcome;
    }
    downloads_.erase(downloads_.begin() + now);
    forgetGone();
    if (observer_ != nullptr) {
        observer_->rowsRemoved({now});
    }
    return outcome;
}

void DownloadList::clearCompleted() {
    std::vector<int> gone;
    for (int row = 0; row < count(); ++row) {
        if (at(row).state() == DownloadState::Completed) {
            gone.push_back(row);
        }
    }
    if (gone.empty()) {
        return;
    }
    std::erase_if(downloads_, [](const std::unique_ptr<Download>& download) {
        return download->state() == DownloadState::Completed;
    });
    forgetGone();
    if (observer_ != nullptr) {
        observer_->rowsRemoved(gone);
    }
}

void DownloadList::forgetGone() {
    const std::string folder = setup_.definitionsFolder();
    DownloadOrder(folder).prune(
        [&folder](const std::string& name) { return FileExists(DefinitionPath(folder, name)); });
}

int DownloadList::indexOf(const Download& download) const {
    for (int row = 0; row < count(); ++row) {
        if (&at(row) == &download) {
            return row;
        }
    }
    return -1;
}

Download* DownloadList::find(const std::string& name) {
    for (auto& download : downloads_) {
        if (download->name() == name) {
            return download.get();
        }
    }
    return nullptr;
}

int DownloadList::runningCount() const {
    return static_cast<int>(std::count_if(downloads_.begin(), downloads_.end(),
                                          [](const auto& d) { return d->running(); }));
}

int DownloadList::transferringCount() const {
    return static_cast<int>(std::count_if(downloads_.begin(), downloads_.end(), [](const auto& d) {
        return d->running() && !d->record().afterLastByte();
    }));
}

bool DownloadList::removingFiles() const {
    return std::any_of(downloads_.begin(), downloads_.end(),
                       [](const auto& d) { return d->removingFiles(); });
}

void DownloadList::settleRemovals() {
    for (auto& download : downloads_) {
        download->settleRemoval();
    }
}

bool DownloadList::targetBusy(const Download& asking, const std::string& path) const {
    return std::any_of(downloads_.begin(), downloads_.end(), [&](const auto& d) {
        return d.get() != &asking && d->running() && d->record().targetPath == path;
    });
}

void DownloadList::downloadStarted(Download& download) {
    if (observer_ != nullptr) {
        observer_->downloadStarted(download);
    }
}

void DownloadList::downloadChanged(Download& download) {
    if (observer_ != nullptr) {
        observer_->downloadChanged(download);
    }
}

void DownloadList::downloadMessage(Download& download, const UserMessage& message) {
    if (observer_ != nullptr) {
        observer_->downloadMessage(download, message);
    }
}

void DownloadList::downloadEnded(Download& download) {
    if (observer_ != nullptr) {
        observer_->downloadEnded(download);
    }
    if (onEnded_) {
        onEnded_(download);
    }
}

}  // namespace tandu
