#pragma once

#include "platform/InstanceChannel.h"
#include "platform/TrayIcon.h"

namespace tandu::cli {

// A console has no notification area.
class NoTray : public TrayIcon {
public:
    bool available() const override { return false; }
    bool apply(TrayOperation, const TrayRecord&) override { return false; }
};

// The console never hands off to, or waits for, a window.
class NoInstanceChannel : public InstanceChannel {
public:
    bool otherInstanceRunning(const std::string&) override { return false; }
    bool handOff(const std::string&, const std::optional<std::string>&) override { return false; }
    void listen(const std::string&, HandOffHandler) override {}
};

}  // namespace tandu::cli
