#include "FakeServices.h"

namespace tandu::test {

struct FakeBackgroundWork::Task {
    Work work;
    Done done;
    bool ran = false;
    bool settled = false;
    std::string failure;
    void run() {
        if (!ran) {
            ran = true;
            failure = work();
        }
    }
};

class FakeBackgroundWork::TaskJob : public BackgroundWork::Job {
public:
    explicit TaskJob(std::shared_ptr<Task> task) : task_(std::move(task)) {}
    ~TaskJob() override { task_->settled = true; }
    std::string wait() override {
        task_->run();
        task_->settled = true;
        return task_->failure;
    }

private:
    std::shared_ptr<Task> task_;
};

std::unique_ptr<BackgroundWork::Job> FakeBackgroundWork::start(Work work, Done done) {
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    task->done = std::move(done);
    auto job = std::make_unique<TaskJob>(task);
    if (hold) {
        held_.push_back(std::move(task));
    } else {
        task->run();
        task->settled = true;
        task->done(task->failure);
    }
    return job;
}

void FakeBackgroundWork::runHeld() {
    // Not the work these reports start: that waits for the next call.
    for (std::size_t count = held_.size(); count > 0; --count) {
        auto task = std::move(held_.front());
        held_.pop_front();
        task->run();
        if (!task->settled) {
            task->settled = true;
            task->done(task->failure);
        }
    }
}

namespace {
class FakeLock : public TransferLock {
public:
    FakeLock(FakeTransferLocks& owner, std::string path) : owner_(owner), path_(std::move(path)) {
        owner_.held.insert(path_);
    }
    ~FakeLock() override { owner_.held.erase(path_); }

private:
    FakeTransferLocks& owner_;
    std::string path_;
};
}  // namespace

std::unique_ptr<TransferLock> FakeTransferLocks::tryAcquire(const std::string& definitionPath) {
    if (heldElsewhere.count(definitionPath) || held.count(definitionPath)) {
        return nullptr;
    }
    return std::make_unique<FakeLock>(*this, definitionPath);
}

}  // namespace tandu::test
