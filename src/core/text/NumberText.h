#pragma once

#include <cstdint>
#include <string>

namespace tandu {

// The number texts of the window: R rounds halves to the even neighbour,
// K writes "###,###" with the user's digit-group separator (empty for 0).
class NumberText {
public:
    explicit NumberText(std::string separator = ",") : separator_(std::move(separator)) {}

    static std::int64_t R(double x);
    std::string K(std::int64_t x) const;
    // "###,###" applied straight to a fraction: halves go away from zero.
    std::string KAwayFromZero(double x) const;
    // bytes / 1000, rounded by R, then K: the KB text without its unit.
    std::string kb(std::int64_t bytes) const;

    const std::string& separator() const { return separator_; }

private:
    std::string separator_;
};

}  // namespace tandu
