#include "services/Application.h"

#include <algorithm>

#include "services/DownloadAdder.h"
#include "services/SettingsService.h"
#include "platform/TransferLocks.h"
#include "storage/FileNames.h"
#include "storage/SettingsFile.h"
#include "transfer/Download.h"
#include "transfer/DownloadList.h"
#include "transfer/DownloadQueue.h"
#include "transfer/DriveLoop.h"
#include "transfer/TransferMessages.h"

namespace tandu {

namespace {

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

Application::Application(std::string programFolder, SystemParts parts, NumberText numbers)
    : programFolder_(withoutTrailingSlash(std::move(programFolder))),
      parts_(parts),
      numbers_(std::move(numbers)),
      downloads_(std::make_unique<DownloadList>(
          DownloadSetup{parts.fetcher, parts.locks, parts.hasher, parts.background, numbers_,
                        programFolder_, {}, {}, {}})),
      queue_(std::make_unique<DownloadQueue>(*downloads_)),
      drive_(std::make_unique<DriveLoop>(*downloads_)) {
    downloads_->setEndListener([this](Download& download) { queue_->downloadEnded(download); });
    downloads_->setup().lastByteIn = [this](Download&) { queue_->lastByteIn(); };
    downloads_->setup().claimName = [this](const std::string& name,
                                           const DefinitionFile& definition) {
        return DownloadAdder(*this).claim(name, definition);
    };
}

Application::~Application() = default;

void Application::loadList(const std::function<void()>& step) {
    if (!loaded_) {
        loaded_ = true;
        downloads_->load(step);
    }
}

Download* Application::find(const std::string& name) {
    for (int row = 0; row < downloads_->count(); ++row) {
        if (downloads_->at(row).text() == name) {
            return &downloads_->at(row);
        }
    }
    return downloads_->find(name);
}

std::optional<UserMessage> Application::start(Download* selected, bool all) {
    const std::string settings = settingsPath();
    downloads_->overallLimit().refresh();
    queue_->setLimit(SettingsFile::simultaneous(settings));
    if (all) {
        if (downloads_->runningCount() < queue_->limit() && !FileExists(settings)) {
            return UserMessage{messages::kConfigMissing, messages::kErrorTitle, MsgIcon::Critical};
        }
        queue_->start(nullptr);
    } else if (selected != nullptr) {
        queue_->start(selected);
    }
    return std::nullopt;
}

void Application::startAdded(int firstRow) {
    if (!SettingsService(*this).current().startAtOnce) {
        return;
    }
    queue_->setLimit(SettingsFile::simultaneous(settingsPath()));
    for (int row = std::max(firstRow, 0); row < downloads_->count(); ++row) {
        Download& download = downloads_->at(row);
        if (download.state() == DownloadState::Waiting && !download.running() &&
            downloads_->runningCount() < queue_->limit()) {
            queue_->start(&download);
        }
    }
}

CancelOutcome Application::cancel(int row) {
    return downloads_->cancel(row);
}

void Application::clearCompleted() {
    downloads_->clearCompleted();
}

namespace {

// What is stored with a download goes only to one this process may write:
// another process's transfer would write its own copy back over it.
template <class Store>
std::optional<UserMessage> storeWith(Download& download, TransferLocks& locks, Store store) {
    std::unique_ptr<TransferLock> held;  // kept while the file is written
    if (!download.running() && !(held = locks.tryAcquire(download.definitionPath()))) {
        return UserMessage{messages::heldElsewhere(download.text()), messages::kErrorTitle,
                           MsgIcon::Critical};
    }
    std::string reason;
    if (!store(&reason)) {
        return UserMessage{"The setting cannot be stored with \"" + download.text() +
                               "\": " + reason + ".",
                           messages::kErrorTitle, MsgIcon::Critical};
    }
    return std::nullopt;
}

}  // namespace

std::optional<UserMessage> Application::setOwnLimit(Download& download, std::int64_t kbps) {
    return storeWith(download, parts_.locks, [&](std::string* reason) {
        return download.setOwnLimit(kbps, reason);
    });
}

std::optional<UserMessage> Application::setChecksum(Download& download,
                                                    const std::optional<Checksum>& checksum) {
    return storeWith(download, parts_.locks, [&](std::string* reason) {
        return download.setChecksum(checksum, reason);
    });
}

}  // namespace tandu
