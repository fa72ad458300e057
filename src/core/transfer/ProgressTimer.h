#pragma once

#include <string>

namespace tandu {

class Download;

// The once-a-second figures: size, speed and time left per piece and for the
// download, the buffer gauge, the amount downloaded and the tray tooltip.
class ProgressTimer {
public:
    explicit ProgressTimer(Download& download) : engine_(download) {}

    void tick();
    // The tooltip a tick writes, before the tray cuts it to its field.
    std::string tooltip() const;

private:
    Download& engine_;
};

}  // namespace tandu
