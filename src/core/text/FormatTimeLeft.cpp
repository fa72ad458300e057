#include "text/FormatTimeLeft.h"

namespace tandu {

std::string FormatTimeLeft(std::int64_t seconds) {
    std::int64_t h = 0;
    std::int64_t m = 0;
    std::int64_t s = seconds;
    if (s > 59) {
        m = s / 60;
        s = s % 60;
    }
    if (m > 59) {
        h = m / 60;
        m = m % 60;
    }
    return std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s);
}

}  // namespace tandu
