#pragma once

#include <chrono>

namespace tandu {

class UiServices;

// Gives the event loop a turn now and then during a long loop, so the window
// paints and takes input, without paying for a turn (a repaint) every step.
class EventPacer {
public:
    explicit EventPacer(UiServices& ui);

    // Called once per step of the loop.
    void step();

private:
    static constexpr auto kInterval = std::chrono::milliseconds(30);
    static constexpr int kSteps = 64;  // at the most between two turns, however fast they go

    UiServices& ui_;
    std::chrono::steady_clock::time_point lastTurn_;
    int sinceTurn_ = 0;
};

}  // namespace tandu
