#include "text/NumberText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tandu {

std::int64_t NumberText::R(double x) {
    // nearbyint rounds to even in the default rounding mode. Values beyond 64
    // bits (a time left near 2^63 seconds) stop at the largest.
    const double rounded = std::nearbyint(x);
    constexpr double kBeyond = 9223372036854775808.0;  // 2^63
    if (std::isnan(rounded)) {
        return 0;
    }
    if (rounded >= kBeyond) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (rounded < -kBeyond) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(rounded);
}

std::string NumberText::K(std::int64_t x) const {
    if (x == 0) {
        return {};
    }
    const bool negative = x < 0;
    // Magnitude as unsigned so the most negative value has one too.
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(x + 1)) + 1 : static_cast<std::uint64_t>(x);
    const std::string digits = std::to_string(magnitude);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 * separator_.size() + 1);
    if (negative) {
        out += '-';
    }
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) {
        out += separator_;
        out.append(digits, i, 3);
    }
    return out;
}

std::string NumberText::KAwayFromZero(double x) const {
    return K(static_cast<std::int64_t>(std::round(x)));
}

std::string NumberText::kb(std::int64_t bytes) const {
    return K(R(static_cast<double>(bytes) / 1000.0));
}

}  // namespace tandu
