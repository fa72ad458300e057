#pragma once

#include <string>

namespace tandu {

class TransferEngine;

// The once-a-second figures: size, speed and time left per piece and for the
// download, the buffer gauge, the amount downloaded and the tray tooltip.
class ProgressTimer {
public:
    explicit ProgressTimer(TransferEngine& engine) : engine_(engine) {}

    void tick();
    // The tooltip a tick writes, before the tray cuts it to its field.
    std::string tooltip() const;

private:
    TransferEngine& engine_;
};

}  // namespace tandu
