#pragma once

#include <deque>
#include <string>

#include "storage/HandOffMessage.h"

namespace tandu {

class frmMain;

// Links handed to the running window (the browser's extension, tandu-url, a
// second start) wait their turn: each opens its own Add URL dialog, in the
// order they came, as soon as no other dialog is open. None is ever dropped.
class HandedAddress {
public:
    explicit HandedAddress(frmMain& main) : main_(main) {}

    // A hand-off's JSON; one that cannot be read is told to the user.
    void receive(const std::string& json);
    void receive(HandOffMessage message);
    // Opens the waiting ones while no dialog is open; the window's timer
    // asks again while some wait behind another dialog.
    void openWaiting();
    std::size_t waiting() const { return waiting_.size(); }

private:
    frmMain& main_;
    std::deque<HandOffMessage> waiting_;
    bool opening_ = false;
};

}  // namespace tandu
