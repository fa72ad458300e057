#include "text/JsonReader.h"

namespace tandu {

void JsonReader::skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\n')) {
        ++pos_;
    }
}

bool JsonReader::take(char c) {
    skipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
        ++pos_;
        return true;
    }
    return false;
}

bool JsonReader::atEnd() {
    skipBlanks();
    return pos_ == text_.size();
}

std::optional<std::string> JsonReader::string() {
    if (!take('"')) {
        return std::nullopt;
    }
    std::string out;
    while (pos_ < text_.size()) {
        const auto c = static_cast<unsigned char>(text_[pos_++]);
        if (c == '"') {
            return out;
        }
        if (c < 0x20) {
            return std::nullopt;
        }
        if (c == '\\') {
            if (!escape(out)) {
                return std::nullopt;
            }
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (!utf8(c, out)) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool JsonReader::escape(std::string& out) {
    if (pos_ >= text_.size()) {
        return false;
    }
    const char c = text_[pos_++];
    static constexpr std::string_view kFrom = "\"\\/bfnrt";
    static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
    if (const auto at = kFrom.find(c); at != std::string_view::npos) {
        out += kTo[at];
        return true;
    }
    if (c != 'u') {
        return false;
    }
    auto code = hex4();
    if (code && *code >= 0xd800 && *code < 0xdc00) {
        std::optional<std::uint32_t> low;
        if (text_.substr(pos_, 2) == "\\u") {
            pos_ += 2;
            low = hex4();
        }
        if (!low || *low < 0xdc00 || *low >= 0xe000) {
            return false;
        }
        code = 0x10000 + ((*code - 0xd800) << 10) + (*low - 0xdc00);
    } else if (code && *code >= 0xdc00 && *code < 0xe000) {
        return false;
    }
    if (!code) {
        return false;
    }
    append(*code, out);
    return true;
}

std::optional<std::uint32_t> JsonReader::hex4() {
    if (pos_ + 4 > text_.size()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = text_[pos_++];
        value <<= 4;
        if (c >= '0' && c <= '9') {
            value |= static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            value |= static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            value |= static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
    }
    return value;
}

void JsonReader::append(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xc0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xe0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    }
}

bool JsonReader::utf8(unsigned char lead, std::string& out) {
    int more = 0;
    std::uint32_t code = 0;
    if (lead >= 0xc2 && lead < 0xe0) {
        more = 1;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead < 0xf0) {
        more = 2;
        code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead < 0xf5) {
        more = 3;
        code = lead & 0x07;
    } else {
        return false;
    }
    for (int i = 0; i < more; ++i) {
        if (pos_ >= text_.size() || (static_cast<unsigned char>(text_[pos_]) & 0xc0) != 0x80) {
            return false;
        }
        code = (code << 6) | (static_cast<unsigned char>(text_[pos_++]) & 0x3f);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[more] || code > 0x10ffff || (code >= 0xd800 && code < 0xe000)) {
        return false;
    }
    append(code, out);
    return true;
}

}  // namespace tandu
