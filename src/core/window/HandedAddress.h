#pragma once

#include <string>

namespace tandu {

class frmMain;

// An address handed to the running window (a browser's extension, tandu-url
// or a second start): it goes onto the clipboard, and when no other dialog
// is open the Add URL dialog opens with it, as a first start with -url does.
class HandedAddress {
public:
    static void receive(frmMain& main, const std::string& address);
};

}  // namespace tandu
