#include "services/SequenceNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "storage/TextFile.h"

namespace tandu::sequence {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits with at most one ".", at least one digit, then an optional exponent.
bool decimalForm(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponent = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        if (i == exponent) {
            return false;
        }
    }
    return i == text.size();
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) {
        return floor + 1;
    }
    if (fraction < 0.5) {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace

std::optional<double> readNumber(std::string_view text) {
    std::string trimmed = textfile::trim(text);
    if (!decimalForm(trimmed)) {
        return std::nullopt;
    }
    std::string_view number = trimmed;
    if (number.front() == '+') {
        number.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> toInteger16(double value) {
    const double rounded = roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < kMin || rounded > kMax) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

std::string numberText(int number, double digits) {
    std::string text = std::to_string(number);
    if (digits == 1) {
        return text;
    }
    const double times = roundHalfEven(digits) - 1;
    const double shortBy = std::ceil(digits - static_cast<double>(text.size()));
    const double zeros = std::min({times, shortBy, static_cast<double>(kMax)});
    if (zeros > 0) {
        text.insert(0, static_cast<std::size_t>(zeros), '0');
    }
    return text;
}

std::string replaceHashes(std::string_view pattern, std::string_view text) {
    std::string url;
    url.reserve(pattern.size() + text.size() * 2);
    for (const char c : pattern) {
        if (c == '#') {
            url += text;
        } else {
            url += c;
        }
    }
    return url;
}

std::string startOrEndOnLeave(const std::string& text) {
    return readNumber(text) ? text : "0";
}

UserMessage invalidDigits() {
    return {"Invalid number. Use 1 for no fixed digits or more fore fixed.", "Invalid",
            MsgIcon::Critical};
}

DigitsOnLeave digitsOnLeave(const std::string& text) {
    const auto digits = readNumber(text);
    if (!digits) {
        return {"1", std::nullopt};
    }
    if (*digits <= 0) {
        return {"1", invalidDigits()};
    }
    return {text, std::nullopt};
}

}  // namespace tandu::sequence
