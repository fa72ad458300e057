#include "transfer/TransferEngine.h"

namespace tandu {

TransferEngine::TransferEngine(frmMain& form) : form_(form) {}
TransferEngine::~TransferEngine() = default;
bool TransferEngine::downloading() const { return false; }
void TransferEngine::rowSelected() {}
void TransferEngine::start() {}
void TransferEngine::pause() {}
void TransferEngine::tick() {}
void TransferEngine::onConnect(int) {}
void TransferEngine::onDataArrival(int) {}
void TransferEngine::onError(int, int, const std::string&) {}
void TransferEngine::onClose(int) {}

}  // namespace tandu
