#pragma once

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/BackgroundWork.h"
#include "platform/Environment.h"
#include "platform/InstanceChannel.h"
#include "platform/ProcessLauncher.h"
#include "platform/TransferLocks.h"
#include "platform/TrayIcon.h"

namespace tandu::test {

// Background work run at once, before start returns; when `hold` is set it
// waits instead until runHeld(), as if the disk were slow.
class FakeBackgroundWork : public BackgroundWork {
public:
    std::unique_ptr<Job> start(Work work, Done done) override;
    // Runs the work held now, reporting each that is still awaited.
    void runHeld();
    bool hold = false;
    std::size_t held() const { return held_.size(); }

private:
    struct Task;
    class TaskJob;
    std::deque<std::shared_ptr<Task>> held_;
};

// Records every start; never starts anything.
class RecordingLauncher : public ProcessLauncher {
public:
    bool start(const LaunchRequest& request) override {
        launches.push_back(request);
        return result;
    }
    std::vector<LaunchRequest> launches;
    bool result = true;
};

class FakeEnvironment : public Environment {
public:
    std::optional<std::string> variable(const std::string& name) const override {
        auto it = variables.find(name);
        return it == variables.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::map<std::string, std::string> variables;
};

class FakeTray : public TrayIcon {
public:
    bool available() const override { return hasTray; }
    bool apply(TrayOperation operation, const TrayRecord& record) override {
        calls.push_back({operation, record});
        if (operation == TrayOperation::Add) {
            shown = true;
            tip = record.shownTip();
        } else if (operation == TrayOperation::Modify && shown) {
            tip = record.shownTip();
        } else if (operation == TrayOperation::Delete) {
            shown = false;
        }
        return true;
    }
    void showMessage(const UserMessage& message) override { notifications.push_back(message); }
    struct Call {
        TrayOperation operation;
        TrayRecord record;
    };
    std::vector<UserMessage> notifications;
    bool hasTray = true;
    bool shown = false;
    std::string tip;
    std::vector<Call> calls;
};

class FakeInstanceChannel : public InstanceChannel {
public:
    bool handToRunning(const std::string& title, const std::optional<std::string>& message,
                       HandOffHandler handler) override {
        if (otherRunning) {
            handOffs.push_back({title, message});
            return true;
        }
        listeningTitle = title;
        this->handler = std::move(handler);
        return false;
    }
    struct HandOff {
        std::string title;
        std::optional<std::string> message;
    };
    bool otherRunning = false;
    std::vector<HandOff> handOffs;
    std::string listeningTitle;
    HandOffHandler handler;
};

// Locks within one test process; `heldElsewhere` plays another process.
class FakeTransferLocks : public TransferLocks {
public:
    std::unique_ptr<TransferLock> tryAcquire(const std::string& definitionPath) override;
    std::set<std::string> heldElsewhere;
    std::set<std::string> held;
};

}  // namespace tandu::test
