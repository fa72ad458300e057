#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tandu {

// Syncs put off so that the loop does not wait for them: new names in
// folders, and texts written beside their files to be renamed over them.
// Run in the order given, before anything counts on them. Safe from any thread.
class DeferredSyncs {
public:
    // Makes a text durable and puts it in place; false with the reason.
    using Step = std::function<bool(std::string* reason)>;

    void addFolder(const std::string& folder);
    void addStep(Step step);
    // A step (not only folders) waits.
    bool holdsStep();
    // Runs everything added so far; false with the reason of the first that
    // failed (it stays, with those after it).
    bool run(std::string* reason);

private:
    struct Entry {
        std::string folder;  // empty for a step
        Step step;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace tandu
