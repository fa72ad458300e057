#include "window/TrayIconOps.h"

#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

namespace {
constexpr const char* kNoTrayText =
    "This desktop has no notification area, so the window cannot be sent to the tray.";
}  // namespace

TrayIconOps::TrayIconOps(frmMain& form) : form_(form) {}

std::string TrayIconOps::tipField(const std::string& text) {
    std::string field = text;
    field += '\0';
    field.resize(TrayRecord::kTipSize, ' ');
    return field;
}

void TrayIconOps::prepare() {
    record_.size = 152;
    record_.iconId = 1;
    record_.flags = 7;
    record_.callbackMessage = 512;
    record_.icon = form_.name();
    record_.tip = tipField("Idle");
}

void TrayIconOps::sendToTray() {
    if (form_.windowState() != WindowState::Normal) {
        return;
    }
    Platform& platform = form_.app().platform();
    // Hiding the window without an icon to bring it back would lose it for good.
    if (!platform.tray.available() || !platform.tray.apply(TrayOperation::Add, record_)) {
        platform.ui.messageBox(kNoTrayText, "Send to Tray", MsgIcon::Information);
        return;
    }
    shown_ = true;
    form_.setVisible(false);
}

void TrayIconOps::restore() {
    form_.setWindowState(WindowState::Normal);
    remove();
    form_.setVisible(true);
}

void TrayIconOps::setTip(const std::string& text) {
    record_.tip = tipField(text);
    form_.app().platform().tray.apply(TrayOperation::Modify, record_);
}

void TrayIconOps::showMessage(const UserMessage& message) {
    if (shown_) {
        form_.app().platform().tray.showMessage(message);
    }
}

void TrayIconOps::remove() {
    form_.app().platform().tray.apply(TrayOperation::Delete, record_);
    shown_ = false;
}

void TrayIconOps::notify(int message) {
    // Without an icon this is a plain mouse move over the window.
    if (!shown_) {
        return;
    }
    if (message == kLeftDoubleClick) {
        form_.menRestore_Click();
    } else if (message == kRightButtonDown) {
        form_.app().platform().ui.popupMenu(form_.menPop);
    }
}

}  // namespace tandu
