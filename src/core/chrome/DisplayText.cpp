#include "chrome/DisplayText.h"

namespace tandu {

std::string DisplayText(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool lineBreak =
            c == '\n' || (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n');
        if ((c < 0x20 || c == 0x7F) && !lineBreak) {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 0x0F];
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

}  // namespace tandu
