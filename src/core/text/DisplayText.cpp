#include "text/DisplayText.h"

namespace tandu {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex(std::string& text, unsigned char c) {
    text += "\\x";
    text += kHex[c >> 4];
    text += kHex[c & 0x0F];
}

// The UTF-8 forms of U+202A-U+202E and U+2066-U+2069: they reorder the text
// that follows, so an answer could show something else than what it says.
bool isDirectionControl(std::string_view bytes, std::size_t i) {
    if (i + 2 >= bytes.size() || static_cast<unsigned char>(bytes[i]) != 0xE2) {
        return false;
    }
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto third = static_cast<unsigned char>(bytes[i + 2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool lineBreak =
            c == '\n' || (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n');
        if ((c < 0x20 || c == 0x7F) && !lineBreak) {
            appendHex(text, c);
        } else if (isDirectionControl(bytes, i)) {
            for (std::size_t k = 0; k < 3; ++k) {
                appendHex(text, static_cast<unsigned char>(bytes[i + k]));
            }
            i += 2;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

}  // namespace tandu
