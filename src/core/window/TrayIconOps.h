#pragma once

#include <string>

#include "platform/TrayIcon.h"

namespace tandu {

class frmMain;

// The tray icon record and the window commands around it.
class TrayIconOps {
public:
    // The mouse messages a tray notification carries.
    static constexpr int kLeftDoubleClick = 515;
    static constexpr int kRightButtonDown = 516;

    explicit TrayIconOps(frmMain& form);

    const TrayRecord& record() const { return record_; }
    // True while the window sits in the tray and its icon is shown.
    bool shown() const { return shown_; }

    void prepare();
    void sendToTray();
    void restore();
    // Stores the text in the tooltip field and modifies the icon.
    void setTip(const std::string& text);
    // A desktop notification from the icon, while the window sits in the tray.
    void showMessage(const UserMessage& message);
    void remove();
    // A tray notification: the mouse message number it carries.
    void notify(int message);

    // The tooltip field for a text: the text, a NUL, blanks up to the field's
    // size; cut at the field's size.
    static std::string tipField(const std::string& text);

private:
    frmMain& form_;
    TrayRecord record_;
    bool shown_ = false;
};

}  // namespace tandu
