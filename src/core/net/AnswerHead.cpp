#include "net/AnswerHead.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "net/PercentDecoding.h"

namespace tandu::net {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
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

// A whole decimal number, nothing around it.
std::optional<std::int64_t> number(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front())) ||
        error != std::errc() || end != text.data() + text.size() ||
        value > AnswerHead::kLargestSize) {
        return std::nullopt;
    }
    return value;
}

std::optional<AnswerHead::ContentRange> parseContentRange(std::string_view value) {
    if (value.substr(0, 6) != "bytes ") {
        return std::nullopt;
    }
    value.remove_prefix(6);
    const std::size_t dash = value.find('-');
    const std::size_t slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) {
        return std::nullopt;
    }
    const auto first = number(value.substr(0, dash));
    const auto last = number(value.substr(dash + 1, slash - dash - 1));
    const std::string_view totalText = value.substr(slash + 1);
    const auto total = number(totalText);
    if (!first || !last || *last < *first || (!total && totalText != "*") ||
        (total && *last >= *total)) {
        return std::nullopt;
    }
    return AnswerHead::ContentRange{*first, *last, total};
}

// "UTF-8'lang'r%C3%A9sum%C3%A9.pdf" (RFC 8187); ISO-8859-1 bytes are left as
// they are for the caller to read as such.
std::optional<std::string> extendedValue(std::string_view value) {
    const std::size_t quote = value.find('\'');
    const std::size_t second =
        quote == std::string_view::npos ? quote : value.find('\'', quote + 1);
    if (second == std::string_view::npos || !(sameName(value.substr(0, quote), "UTF-8") ||
                                              sameName(value.substr(0, quote), "ISO-8859-1"))) {
        return std::nullopt;
    }
    return percentDecoded(value.substr(second + 1));
}

}  // namespace

AnswerHead AnswerHead::parse(std::string_view raw, Url url) {
    AnswerHead head;
    head.raw = std::string(raw);
    head.url = std::move(url);
    std::size_t at = 0;
    bool first = true;
    while (at < raw.size()) {
        std::size_t end = raw.find('\n', at);
        if (end == std::string_view::npos) {
            end = raw.size();
        }
        const std::string_view line = trimmed(raw.substr(at, end - at));
        at = end + 1;
        if (first) {
            first = false;
            // "HTTP/1.1 200 OK": the number after the first blank.
            const std::size_t blank = line.find(' ');
            if (line.substr(0, 5) == "HTTP/" && blank != std::string_view::npos) {
                head.status = static_cast<int>(number(line.substr(blank + 1, 3)).value_or(0));
            }
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        head.headers.emplace_back(std::string(trimmed(line.substr(0, colon))),
                                  std::string(trimmed(line.substr(colon + 1))));
    }
    if (auto length = head.header("Content-Length")) {
        head.contentLength = number(*length);
        head.malformedLength = !head.contentLength;
    }
    if (auto range = head.header("Content-Range")) {
        head.contentRange = parseContentRange(*range);
    }
    if (auto ranges = head.header("Accept-Ranges")) {
        head.acceptsRanges = sameName(*ranges, "bytes");
    }
    if (auto retry = head.header("Retry-After")) {
        if (auto seconds = number(*retry)) {
            head.retryAfter = std::chrono::seconds(*seconds);
        }
    }
    return head;
}

std::optional<std::string> AnswerHead::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (sameName(key, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> AnswerHead::fileName() const {
    const auto disposition = header("Content-Disposition");
    if (!disposition) {
        return std::nullopt;
    }
    const std::string_view text = *disposition;
    std::optional<std::string> plain, extended;
    for (std::size_t at = text.find(';'); at != std::string_view::npos;) {
        const std::size_t equals = text.find('=', at);
        const std::size_t next = text.find(';', at + 1);
        if (equals == std::string_view::npos || equals > next) {
            at = next;
            continue;
        }
        const std::string_view name = trimmed(text.substr(at + 1, equals - at - 1));
        std::size_t from = equals + 1;
        while (from < text.size() && text[from] == ' ') {
            ++from;
        }
        std::string value;
        if (from < text.size() && text[from] == '"') {
            // A quoted string: a backslash keeps the next character as it is.
            for (++from; from < text.size() && text[from] != '"'; ++from) {
                if (text[from] == '\\' && from + 1 < text.size()) {
                    ++from;
                }
                value += text[from];
            }
            at = text.find(';', from);
        } else {
            value = std::string(trimmed(text.substr(
                from, next == std::string_view::npos ? std::string_view::npos : next - from)));
            at = next;
        }
        if (sameName(name, "filename*") && !extended) {
            extended = extendedValue(value);
        } else if (sameName(name, "filename") && !plain) {
            plain = value;
        }
    }
    return extended ? extended : plain;
}

}  // namespace tandu::net
