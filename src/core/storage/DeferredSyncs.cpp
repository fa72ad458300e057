#include "storage/DeferredSyncs.h"

#include <algorithm>
#include <filesystem>

#include "storage/TextFile.h"

namespace tandu {

void DeferredSyncs::addFolder(const std::string& folder) {
    std::lock_guard lock(mutex_);
    const bool held = std::any_of(entries_.begin(), entries_.end(),
                                  [&](const Entry& e) { return e.folder == folder; });
    if (!held) {
        entries_.push_back({folder, nullptr});
    }
}

void DeferredSyncs::addStep(Step step) {
    std::lock_guard lock(mutex_);
    entries_.push_back({"", std::move(step)});
}

bool DeferredSyncs::holdsStep() {
    std::lock_guard lock(mutex_);
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const Entry& e) { return e.folder.empty(); });
}

bool DeferredSyncs::run(std::string* reason) {
    // Held throughout: a second caller returns only once all is durable.
    std::lock_guard lock(mutex_);
    while (!entries_.empty()) {
        const Entry& next = entries_.front();
        // A folder gone since holds no name to make durable: what stood in
        // it is found missing where it matters.
        std::error_code missing;
        const bool done = next.folder.empty()
                              ? next.step(reason)
                              : textfile::syncFolder(next.folder, reason) ||
                                    (!std::filesystem::exists(next.folder, missing) && !missing);
        if (!done) {
            return false;
        }
        entries_.erase(entries_.begin());
    }
    return true;
}

}  // namespace tandu
