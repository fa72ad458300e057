#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandu {

// A strict reader for the small JSON the extension sends: blanks, single
// characters and strings, which come out as checked UTF-8.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    void skipBlanks();
    // Takes c when it is the next character after blanks.
    bool take(char c);
    // Nothing but blanks is left.
    bool atEnd();
    // The next string literal, unescaped; nothing when it is malformed.
    std::optional<std::string> string();

private:
    bool escape(std::string& out);
    std::optional<std::uint32_t> hex4();
    static void append(std::uint32_t code, std::string& out);
    bool utf8(unsigned char lead, std::string& out);

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace tandu
