#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/UserMessage.h"

namespace tandu {

// The numbers of a URL sequence: start, end and the running number are
// 16-bit; the digit count is a plain number compared as it reads.
namespace sequence {

inline constexpr int kMin = -32768;
inline constexpr int kMax = 32767;

// A decimal number with an optional sign, fraction and exponent, blanks
// around it allowed; nothing for any other text.
std::optional<double> readNumber(std::string_view text);
// The nearest whole number, a half going to the even neighbour; nothing when
// that lies outside the 16-bit range.
std::optional<int> toInteger16(double value);
// The number in decimal, with zeros put in front while it is shorter than
// `digits` characters, at most digits - 1 of them (digits rounded to even).
std::string numberText(int number, double digits);
// The pattern with every "#" replaced by the text.
std::string replaceHashes(std::string_view pattern, std::string_view text);

// What the boxes do when they lose the focus: Start and End take "0" for
// text that is not a number; Digits takes "1" for that, and for a number
// below 1 after saying so.
std::string startOrEndOnLeave(const std::string& text);
struct DigitsOnLeave {
    std::string text;
    std::optional<UserMessage> message;
};
DigitsOnLeave digitsOnLeave(const std::string& text);
UserMessage invalidDigits();

}  // namespace sequence
}  // namespace tandu
