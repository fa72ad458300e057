#include "FakeServices.h"

namespace tandu::test {

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
