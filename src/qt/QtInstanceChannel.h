#pragma once

#include <QLocalServer>
#include <QObject>

#include "platform/InstanceChannel.h"

namespace tandu::qt {

// The running window listens on InstanceSocket's path; a connection from
// another user is dropped unread.
class QtInstanceChannel : public QObject, public InstanceChannel {
    Q_OBJECT
public:
    bool handToRunning(const std::string& title, const std::optional<std::string>& message,
                       HandOffHandler handler) override;

private:
    void accept();

    QLocalServer server_;
    HandOffHandler handler_;
};

}  // namespace tandu::qt
