#include "chrome/TrayIconOps.h"

namespace tandu {

TrayIconOps::TrayIconOps(frmMain& form) : form_(form) {}
void TrayIconOps::prepare() {}
void TrayIconOps::sendToTray() {}
void TrayIconOps::restore() {}
void TrayIconOps::setTip(const std::string&) {}
void TrayIconOps::remove() {}

}  // namespace tandu
