#include "transfer/DownloadQueue.h"

#include <algorithm>

#include "platform/TransferLocks.h"
#include "transfer/DownloadList.h"

namespace tandu {

DownloadQueue::DownloadQueue(DownloadList& list) : list_(list) {}

void DownloadQueue::setLimit(int atOnce) {
    limit_ = std::clamp(atOnce, 1, kMostAtOnce);
}

bool DownloadQueue::start(Download* selected) {
    if (all()) {
        const int before = list_.runningCount();
        tried_.clear();
        for (int row = 0; row < list_.count(); ++row) {
            if (list_.at(row).running()) {
                tried_.insert(list_.at(row).name());
            }
        }
        fill();
        return list_.runningCount() > before;
    }
    if (selected == nullptr || selected->running() || list_.transferringCount() >= limit_) {
        return false;
    }
    return selected->start(false);
}

void DownloadQueue::downloadEnded(Download& download) {
    const DownloadState state = download.state();
    if (all()) {
        // A pause stops the run; a completion or a failure goes on with the next.
        const bool userPause = state == DownloadState::Paused && !download.pausedOnFault();
        if (!userPause && state != DownloadState::Waiting) {
            fill();
        }
    } else if (state == DownloadState::Completed && list_.runningCount() == 0 && onFinished) {
        onFinished("");
    }
}

void DownloadQueue::lastByteIn() {
    if (all()) {
        fill();
    }
}

void DownloadQueue::fill() {
    // A start that fails at once ends inside this loop: no nesting, one more round.
    if (filling_) {
        again_ = true;
        return;
    }
    filling_ = true;
    do {
        again_ = false;
        fillOnce();
    } while (again_);
    filling_ = false;
}

void DownloadQueue::fillOnce() {
    std::string heldName;
    // One whose last byte is in waits only for the disk: the next one starts.
    // The disk may keep no more than as many again waiting.
    while (list_.transferringCount() < limit_ && list_.runningCount() < 2 * limit_) {
        Download* next = pick(heldName);
        if (next == nullptr) {
            break;
        }
        tried_.insert(next->name());
        if (onPicked) {
            onPicked(*next);
        }
        next->start(names_.empty(), std::move(picked_));
    }
    if (list_.runningCount() == 0 && !again_ && onFinished) {
        onFinished(heldName);
    }
}

bool DownloadQueue::heldElsewhere(const Download& download) {
    // Held from here on: the start takes it over instead of making it anew.
    picked_ = list_.setup().locks.tryAcquire(download.definitionPath());
    return picked_ == nullptr;
}

Download* DownloadQueue::pick(std::string& heldName) {
    auto startable = [&](Download& d) {
        const bool waiting = d.state() == DownloadState::Waiting;
        if ((!waiting && d.state() != DownloadState::Paused) || d.running() ||
            tried_.count(d.name()) != 0) {
            return false;
        }
        if (heldElsewhere(d)) {
            if (heldName.empty()) {
                heldName = d.text();
            }
            return false;
        }
        return true;
    };
    if (!names_.empty()) {
        for (const std::string& name : names_) {
            Download* d = list_.find(name);
            if (d != nullptr && startable(*d)) {
                return d;
            }
        }
        return nullptr;
    }
    Download* waiting = nullptr;
    for (int row = 0; row < list_.count(); ++row) {
        Download& d = list_.at(row);
        const bool paused = d.state() == DownloadState::Paused;
        if (!paused && (d.state() != DownloadState::Waiting || waiting != nullptr)) {
            continue;
        }
        if (!startable(d)) {
            continue;
        }
        if (paused) {
            return &d;
        }
        waiting = &d;
    }
    return waiting;
}

}  // namespace tandu
