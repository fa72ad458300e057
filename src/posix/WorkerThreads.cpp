#include "WorkerThreads.h"

#include <exception>
#include <utility>

namespace tandu {

struct WorkerThreads::Task {
    Work work;
    Done done;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::string failure;
    // Touched from the loop only: the job went, or was waited for.
    bool settled = false;
};

class WorkerThreads::TaskJob : public BackgroundWork::Job {
public:
    explicit TaskJob(std::shared_ptr<Task> task) : task_(std::move(task)) {}
    ~TaskJob() override { task_->settled = true; }

    std::string wait() override {
        std::unique_lock lock(task_->mutex);
        task_->ended.wait(lock, [this] { return task_->finished; });
        task_->settled = true;
        return task_->failure;
    }

private:
    std::shared_ptr<Task> task_;
};

WorkerThreads::WorkerThreads(Post post, int threads) : post_(std::move(post)), most_(threads) {}

WorkerThreads::~WorkerThreads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

std::unique_ptr<BackgroundWork::Job> WorkerThreads::start(Work work, Done done) {
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    task->done = std::move(done);
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(task);
        if (static_cast<int>(threads_.size()) < most_) {
            threads_.emplace_back([this] { serve(); });
        }
    }
    wake_.notify_one();
    return std::make_unique<TaskJob>(std::move(task));
}

void WorkerThreads::serve() {
    for (;;) {
        std::shared_ptr<Task> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;  // stopping, and every task given has run
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        std::string failure;
        try {
            failure = task->work();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        task->work = nullptr;
        {
            std::lock_guard lock(task->mutex);
            task->finished = true;
            task->failure = std::move(failure);
        }
        task->ended.notify_all();
        post_([task] {
            if (!task->settled) {
                task->settled = true;
                task->done(task->failure);
            }
        });
    }
}

}  // namespace tandu
