#include "text/SpeedLimitText.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace tandu::speedlimit {

namespace {

std::string lowered(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

}  // namespace

std::optional<std::int64_t> parse(std::string_view text) {
    std::string s = lowered(text);
    if (s == "none" || s == "off") {
        return 0;
    }
    for (const char* unit : {"/s", "b"}) {
        if (s.ends_with(unit)) {
            s.resize(s.size() - std::string_view(unit).size());
        }
    }
    double scale = 1;  // plain numbers are KB/s
    if (!s.empty() && (s.back() == 'k' || s.back() == 'm' || s.back() == 'g')) {
        scale = s.back() == 'k' ? 1 : s.back() == 'm' ? 1000 : 1'000'000;
        s.pop_back();
    }
    const std::size_t dot = s.find('.');
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos ||
        (dot != std::string::npos && s.find('.', dot + 1) != std::string::npos) || s == "." ||
        s.size() > 18) {
        return std::nullopt;
    }
    double number = 0;  // not strtod: the locale's decimal point is not the user's typing here
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), number);
    if (error != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    const double kbps = std::round(number * scale);
    if (kbps > static_cast<double>(kMostKBps)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(kbps);
}

std::string text(std::int64_t kbps) {
    if (kbps <= 0) {
        return "none";
    }
    return kbps % 1000 == 0 ? std::to_string(kbps / 1000) + "MB/s" : std::to_string(kbps) + "KB/s";
}

}  // namespace tandu::speedlimit
