#pragma once

#include <string>

#include "platform/UserMessage.h"

namespace tandu {

// The notification-area icon record, kept for the life of the program.
struct TrayRecord {
    static constexpr int kTipSize = 128;
    int size = 152;
    int iconId = 1;
    int flags = 7;
    int callbackMessage = 512;
    std::string icon;  // names the window's icon
    // The tooltip field: exactly kTipSize characters; the shown text ends at the first NUL.
    std::string tip = std::string(kTipSize, ' ');

    // The text shown (the field up to its NUL).
    std::string shownTip() const { return tip.substr(0, tip.find('\0')); }
};

enum class TrayOperation { Add = 0, Modify = 1, Delete = 2 };

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Whether this desktop has a notification area at all.
    virtual bool available() const = 0;
    virtual bool apply(TrayOperation operation, const TrayRecord& record) = 0;
    // A message from the shown icon (a desktop notification) that goes by itself.
    virtual void showMessage(const UserMessage& message) = 0;
};

}  // namespace tandu
