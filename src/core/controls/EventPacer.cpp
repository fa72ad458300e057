#include "controls/EventPacer.h"

#include "platform/UiServices.h"

namespace tandu {

EventPacer::EventPacer(UiServices& ui) : ui_(ui), lastTurn_(std::chrono::steady_clock::now()) {}

void EventPacer::step() {
    if (++sinceTurn_ >= kSteps || std::chrono::steady_clock::now() - lastTurn_ >= kInterval) {
        sinceTurn_ = 0;
        ui_.processPendingEvents();
        lastTurn_ = std::chrono::steady_clock::now();
    }
}

}  // namespace tandu
