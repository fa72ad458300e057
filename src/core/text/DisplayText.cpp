#include "text/DisplayText.h"

#include <algorithm>

namespace tandu {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex(std::string& text, unsigned char c) {
    text += "\\x";
    text += kHex[c >> 4];
    text += kHex[c & 0x0F];
}

unsigned char byteAt(std::string_view bytes, std::size_t i) {
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
}

// The length of the valid UTF-8 sequence at byte i (no overlong form, no
// surrogate, nothing past U+10FFFF), or 0.
std::size_t utf8At(std::string_view bytes, std::size_t i) {
    const unsigned char c = byteAt(bytes, i);
    const unsigned char next = byteAt(bytes, i + 1);
    const auto tail = [&](std::size_t k) { return (byteAt(bytes, i + k) & 0xC0) == 0x80; };
    if (c < 0x80) {
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        return tail(1) ? 2 : 0;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        const bool ok = (c != 0xE0 || next >= 0xA0) && (c != 0xED || next < 0xA0);
        return ok && tail(1) && tail(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const bool ok = (c != 0xF0 || next >= 0x90) && (c != 0xF4 || next < 0x90);
        return ok && tail(1) && tail(2) && tail(3) ? 4 : 0;
    }
    return 0;
}

std::string escaped(std::string_view bytes, bool keepLineBreaks) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool lineBreak =
            keepLineBreaks && (c == '\n' || (c == '\r' && byteAt(bytes, i + 1) == '\n'));
        const std::size_t mark = DirectionMarkAt(bytes, i);
        // Answers are shown as they came; only a name must be valid UTF-8.
        const std::size_t length = keepLineBreaks ? 1 : utf8At(bytes, i);
        if (((c < 0x20 || c == 0x7F) && !lineBreak) || mark > 0 || length == 0) {
            for (std::size_t k = 0; k < std::max<std::size_t>(mark, 1); ++k) {
                appendHex(text, static_cast<unsigned char>(bytes[i + k]));
            }
            i += std::max<std::size_t>(mark, 1);
        } else {
            text.append(bytes.substr(i, length));
            i += length;
        }
    }
    return text;
}

}  // namespace

std::size_t DirectionMarkAt(std::string_view bytes, std::size_t i) {
    const unsigned char c = byteAt(bytes, i);
    const unsigned char second = byteAt(bytes, i + 1);
    const unsigned char third = byteAt(bytes, i + 2);
    if (c == 0xD8 && second == 0x9C) {
        return 2;
    }
    const bool mark = c == 0xE2 && ((second == 0x80 && (third == 0x8E || third == 0x8F)) ||
                                    (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
                                    (second == 0x81 && third >= 0xA6 && third <= 0xA9));
    return mark ? 3 : 0;
}

std::string DisplayText(std::string_view bytes) {
    return escaped(bytes, true);
}

std::string DisplayName(std::string_view bytes) {
    return escaped(bytes, false);
}

}  // namespace tandu
