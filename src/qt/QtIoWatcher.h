#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>

#include "net/IoWatcher.h"

namespace tandu::qt {

// The network layer's watches and timer on Qt's event loop.
class QtIoWatcher : public net::IoWatcher {
public:
    QtIoWatcher();
    ~QtIoWatcher() override;

    void watch(int fd, unsigned events, ReadyHandler handler) override;
    void startTimer(std::chrono::milliseconds delay, std::function<void()> handler) override;
    void stopTimer() override;

private:
    struct Notifiers {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    void drop(Notifiers& notifiers);

    std::map<int, Notifiers> watches_;
    QTimer timer_;
    std::function<void()> onTimer_;
};

}  // namespace tandu::qt
