#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandu {

// The header of an HTTP answer: its status line and its fields.
class HttpHeader {
public:
    // A header longer than this without its blank line is not an HTTP answer.
    static constexpr std::size_t kLongest = 64 * 1024;

    // The offset just past the blank line that ends the header (CR LF CR LF, or
    // a bare LF LF), or nothing while it has not arrived. `from` lets a caller
    // that appends search only what is new.
    static std::optional<std::size_t> findEnd(std::string_view data, std::size_t from = 0);

    // The header text, blank line included or not.
    static HttpHeader parse(std::string_view text);

    // 0 when the first line is not an HTTP status line.
    int status() const { return status_; }
    const std::string& statusLine() const { return statusLine_; }
    bool successful() const { return status_ >= 200 && status_ <= 299; }

    // The first field of that name (any letter case), its value without
    // surrounding blanks.
    std::optional<std::string> field(std::string_view name) const;
    // Content-Length as a whole number of bytes; nothing when missing, not a
    // plain run of digits, or given twice with different values.
    std::optional<std::int64_t> contentLength() const;
    // Two Content-Length values that differ: the body's end cannot be known.
    bool lengthConflicts() const;
    // A Transfer-Encoding other than identity (e.g. chunked): the body is
    // framed, not the file's bytes as they are.
    bool encodedTransfer() const;

    struct ContentRange {
        std::int64_t first = 0;
        std::int64_t last = 0;
        std::optional<std::int64_t> total;  // nothing for "*"
    };
    // "bytes FIRST-LAST/TOTAL"; nothing when missing or malformed.
    std::optional<ContentRange> contentRange() const;

private:
    int status_ = 0;
    std::string statusLine_;
    std::vector<std::pair<std::string, std::string>> fields_;
};

// Digits only, no sign, within 64 bits.
std::optional<std::int64_t> parseByteCount(std::string_view text);

}  // namespace tandu
