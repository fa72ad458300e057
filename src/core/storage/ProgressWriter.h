#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "storage/PiecePlan.h"

namespace tandu {

// Keeps a running transfer's progress file durable and never ahead of the
// target: the target's bytes are synced before the progress that counts them
// is written, whole (a new file, synced, renamed over the old one). While
// bytes flow the two steps run beside the loop, at most once per interval or
// so many bytes, so neither the transfers nor the loop wait for the disk.
class ProgressWriter {
public:
    // Makes the bytes written so far to the target durable; false with the
    // system's reason.
    using Sync = std::function<bool(std::string* reason)>;
    struct Batch {
        // Zero: every advance commits at once, on the caller's thread.
        std::chrono::milliseconds interval{1000};
        std::int64_t bytes = 32 * 1024 * 1024;
    };

    ProgressWriter() = default;
    explicit ProgressWriter(Batch batch) : batch_(batch) {}
    ~ProgressWriter();
    ProgressWriter(const ProgressWriter&) = delete;
    ProgressWriter& operator=(const ProgressWriter&) = delete;

    // At once: after the background commit, the target synced (when a sync
    // is given), then the file. For any change.
    bool replace(const Sync& sync, const std::string& path, const PiecePlan& plan,
                 const std::vector<std::int64_t>& counts, std::string* reason);
    // For counts that only grew: starts a background commit when one is due
    // and none runs. False (with the reason) when the last one failed: the
    // file still holds what it held before it.
    bool advance(const Sync& sync, const std::string& path, const PiecePlan& plan,
                 const std::vector<std::int64_t>& counts, std::chrono::steady_clock::time_point now,
                 std::string* reason);
    // A fresh start's first file, every count 0: see ProgressFile::claim.
    bool claim(const std::string& path, const PiecePlan& plan, std::string* reason);
    // Waits for a background commit; false (with the reason) when it failed.
    bool settle(std::string* reason);

private:
    struct Commit {
        std::thread thread;
        std::atomic<bool> done{false};
        bool ok = false;
        std::string reason;
    };
    static bool commit(const Sync& sync, const std::string& path, const PiecePlan& plan,
                       const std::vector<std::int64_t>& counts, std::string* reason);
    // Joins a finished (or, with `wait`, any) background commit.
    bool reap(bool wait, std::string* reason);

    Batch batch_;
    std::unique_ptr<Commit> running_;
    std::vector<std::int64_t> committed_;
    std::int64_t committedBytes_ = 0;
    std::chrono::steady_clock::time_point committedAt_{};
};

}  // namespace tandu
