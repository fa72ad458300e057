#include "HostRequest.h"

#include <optional>

#include "settings/JsonText.h"

namespace tandu {

namespace {

constexpr const char* kNotOurJson = "The message is not the JSON object {\"url\": ADDRESS}.";

// A strict reader for the one object the extension sends.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\n')) {
            ++pos_;
        }
    }
    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool atEnd() {
        skipBlanks();
        return pos_ == text_.size();
    }
    std::optional<std::string> string() {
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

private:
    bool escape(std::string& out) {
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
    std::optional<std::uint32_t> hex4() {
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
    static void append(std::uint32_t code, std::string& out) {
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
    // A raw multi-byte character, checked and copied whole.
    bool utf8(unsigned char lead, std::string& out) {
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

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Blanks, C0 and C1 controls, DEL and the Unicode line and paragraph separators.
bool hasBreakOrControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (c <= 0x20 || c == 0x7f || (c == 0xc2 && next >= 0x80 && next <= 0x9f) ||
            (c == 0xe2 && next == 0x80 && (third == 0xa8 || third == 0xa9))) {
            return true;
        }
    }
    return false;
}

std::string checkAddress(std::string_view address) {
    std::size_t rest = 0;
    if (startsWithNoCase(address, "http://")) {
        rest = 7;
    } else if (startsWithNoCase(address, "https://")) {
        rest = 8;
    } else {
        return "Only http:// and https:// addresses are taken.";
    }
    if (address.size() > HostRequest::kMaxAddress) {
        return "The address is longer than " + std::to_string(HostRequest::kMaxAddress) +
               " characters.";
    }
    if (hasBreakOrControl(address)) {
        return "The address holds a line break, a blank or a control character.";
    }
    if (rest == address.size() || address[rest] == '/' || address[rest] == '?' ||
        address[rest] == '#') {
        return "The address names no host.";
    }
    return {};
}

}  // namespace

HostRequest HostRequest::refused(std::string error) {
    HostRequest request;
    request.error_ = std::move(error);
    return request;
}

HostRequest HostRequest::fromJson(std::string_view json) {
    JsonReader reader(json);
    std::optional<std::string> key;
    std::optional<std::string> value;
    if (!reader.take('{') || !(key = reader.string()) || !reader.take(':') ||
        !(value = reader.string()) || !reader.take('}') || !reader.atEnd() || *key != "url") {
        return refused(kNotOurJson);
    }
    if (std::string error = checkAddress(*value); !error.empty()) {
        return refused(std::move(error));
    }
    HostRequest request;
    request.address_ = *value;
    return request;
}

HostRequest HostRequest::read(std::istream& in) {
    std::uint32_t length = 0;
    if (!in.read(reinterpret_cast<char*>(&length), sizeof length)) {
        return refused("The message ended before its length.");
    }
    if (length > kMaxMessage) {
        return refused("The message is longer than 1 MB.");
    }
    std::string body(length, '\0');
    if (!in.read(body.data(), length)) {
        return refused("The message is shorter than its length says.");
    }
    return fromJson(body);
}

std::string HostRequest::answer() const {
    const std::string json =
        accepted() ? std::string("{\"ok\":true}")
                   : std::string("{\"ok\":false,\"error\":") + JsonText::quote(error_) + "}";
    const auto length = static_cast<std::uint32_t>(json.size());
    return std::string(reinterpret_cast<const char*>(&length), sizeof length) + json;
}

}  // namespace tandu
