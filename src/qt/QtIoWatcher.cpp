#include "QtIoWatcher.h"

namespace tandu::qt {

QtIoWatcher::QtIoWatcher() {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        const std::function<void()> call = onTimer_;
        if (call) {
            call();
        }
    });
}

QtIoWatcher::~QtIoWatcher() {
    for (auto& [fd, notifiers] : watches_) {
        drop(notifiers);
    }
}

void QtIoWatcher::drop(Notifiers& notifiers) {
    // The notifier may be the one whose signal is running now.
    for (QSocketNotifier* notifier : {notifiers.read, notifiers.write}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    notifiers = {};
}

void QtIoWatcher::watch(int fd, unsigned events, ReadyHandler handler) {
    if (auto it = watches_.find(fd); it != watches_.end()) {
        drop(it->second);
        watches_.erase(it);
    }
    if (events == None) {
        return;
    }
    Notifiers& notifiers = watches_[fd];
    auto make = [&](QSocketNotifier::Type type, unsigned ready) {
        auto* notifier = new QSocketNotifier(fd, type);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                         [fd, ready, handler] { handler(fd, ready); });
        return notifier;
    };
    if (events & Readable) {
        notifiers.read = make(QSocketNotifier::Read, Readable);
    }
    if (events & Writable) {
        notifiers.write = make(QSocketNotifier::Write, Writable);
    }
}

void QtIoWatcher::startTimer(std::chrono::milliseconds delay, std::function<void()> handler) {
    onTimer_ = std::move(handler);
    timer_.start(delay);
}

void QtIoWatcher::stopTimer() {
    timer_.stop();
}

}  // namespace tandu::qt
