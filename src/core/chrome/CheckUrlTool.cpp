#include "chrome/CheckUrlTool.h"

#include "platform/Socket.h"

namespace tandu {

CheckUrlTool::CheckUrlTool(frmMain& form) : form_(form) {}
CheckUrlTool::~CheckUrlTool() = default;
void CheckUrlTool::start() {}
void CheckUrlTool::onConnect() {}
void CheckUrlTool::onDataArrival() {}
void CheckUrlTool::onError(int, const std::string&) {}

}  // namespace tandu
