#include "transfer/HttpHeader.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "catalogue/TextFile.h"

namespace tandu {

namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<std::int64_t> parseByteCount(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::size_t> HttpHeader::findEnd(std::string_view data, std::size_t from) {
    // Step back so a terminator split over two arrivals is still found.
    const std::size_t start = from > 3 ? from - 3 : 0;
    for (std::size_t i = data.find('\n', start); i != std::string_view::npos;
         i = data.find('\n', i + 1)) {
        if (i + 1 < data.size() && data[i + 1] == '\n') {
            return i + 2;
        }
        if (i + 2 < data.size() && data[i + 1] == '\r' && data[i + 2] == '\n') {
            return i + 3;
        }
    }
    return std::nullopt;
}

HttpHeader HttpHeader::parse(std::string_view text) {
    HttpHeader header;
    bool first = true;
    for (const std::string& raw : textfile::splitLines(text)) {
        if (first) {
            first = false;
            header.statusLine_ = raw;
            // "HTTP/1.1 206 Partial Content"
            const std::string_view line = raw;
            const std::size_t blank = line.find(' ');
            if (line.compare(0, 5, "HTTP/") == 0 && blank != std::string_view::npos) {
                const std::string_view code = line.substr(blank + 1, 3);
                const auto number = parseByteCount(code);
                if (code.size() == 3 && number &&
                    (line.size() == blank + 4 || line[blank + 4] == ' ')) {
                    header.status_ = static_cast<int>(*number);
                }
            }
            continue;
        }
        if (raw.empty()) {
            break;
        }
        const std::size_t colon = raw.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        header.fields_.emplace_back(
            std::string(trimBlanks(std::string_view(raw).substr(0, colon))),
            std::string(trimBlanks(std::string_view(raw).substr(colon + 1))));
    }
    return header;
}

std::optional<std::string> HttpHeader::field(std::string_view name) const {
    for (const auto& [key, value] : fields_) {
        if (sameName(key, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> HttpHeader::contentLength() const {
    const auto value = field("Content-Length");
    if (!value || lengthConflicts()) {
        return std::nullopt;
    }
    return parseByteCount(*value);
}

bool HttpHeader::lengthConflicts() const {
    // Every value, also those joined by commas in one field, must be the same.
    std::optional<std::string_view> seen;
    for (const auto& [key, value] : fields_) {
        if (!sameName(key, "Content-Length")) {
            continue;
        }
        std::string_view rest = value;
        while (true) {
            const std::size_t comma = rest.find(',');
            const std::string_view one = trimBlanks(rest.substr(0, comma));
            if (seen && *seen != one) {
                return true;
            }
            seen = one;
            if (comma == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(comma + 1);
        }
    }
    return false;
}

bool HttpHeader::encodedTransfer() const {
    for (const auto& [key, value] : fields_) {
        if (sameName(key, "Transfer-Encoding") && !sameName(value, "identity")) {
            return true;
        }
    }
    return false;
}

std::optional<HttpHeader::ContentRange> HttpHeader::contentRange() const {
    const auto value = field("Content-Range");
    if (!value) {
        return std::nullopt;
    }
    std::string_view text = *value;
    if (text.size() < 6 || !sameName(text.substr(0, 6), "bytes ")) {
        return std::nullopt;
    }
    text = trimBlanks(text.substr(6));
    const std::size_t dash = text.find('-');
    const std::size_t slash = text.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) {
        return std::nullopt;
    }
    const auto first = parseByteCount(text.substr(0, dash));
    const auto last = parseByteCount(text.substr(dash + 1, slash - dash - 1));
    const std::string_view totalText = text.substr(slash + 1);
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    ContentRange range{*first, *last, std::nullopt};
    if (totalText != "*") {
        range.total = parseByteCount(totalText);
        if (!range.total) {
            return std::nullopt;
        }
    }
    return range;
}

}  // namespace tandu
