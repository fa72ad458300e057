#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/BackgroundWork.h"

namespace tandu {

// A few threads that run background work in the order it came; each result
// goes back to the loop through `post`, which must be safe from any thread.
// Destroying them finishes the work already given.
class WorkerThreads : public BackgroundWork {
public:
    using Post = std::function<void(std::function<void()>)>;

    explicit WorkerThreads(Post post, int threads = kThreads);
    ~WorkerThreads() override;
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    std::unique_ptr<Job> start(Work work, Done done) override;

    // Syncs of several files at once share the file system's journal commits.
    static constexpr int kThreads = 8;

private:
    struct Task;
    class TaskJob;
    void serve();

    Post post_;
    int most_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Task>> queue_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

}  // namespace tandu
