#pragma once

#include <QLocalServer>
#include <QObject>

#include "platform/InstanceChannel.h"

namespace tandu::qt {

// One instance per user and display: the first listens on a local socket named
// after the title, the user and the display; a later start connects, hands over its URL and ends.
class QtInstanceChannel : public QObject, public InstanceChannel {
    Q_OBJECT
public:
    bool otherInstanceRunning(const std::string& title) override;
    bool handOff(const std::string& title, const std::optional<std::string>& url) override;
    void listen(const std::string& title, HandOffHandler handler) override;

    static QString serverName(const std::string& title);

private:
    QLocalServer server_;
    HandOffHandler handler_;
};

}  // namespace tandu::qt
