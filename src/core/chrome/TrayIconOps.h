#pragma once

#include <string>

#include "platform/TrayIcon.h"

namespace tandu {

class frmMain;

// The tray icon record and the window commands around it.
class TrayIconOps {
public:
    explicit TrayIconOps(frmMain& form);

    const TrayRecord& record() const { return record_; }
    void prepare();
    void sendToTray();
    void restore();
    // Stores the text in the tooltip field and modifies the icon.
    void setTip(const std::string& text);
    void remove();

private:
    frmMain& form_;
    TrayRecord record_;
};

}  // namespace tandu
