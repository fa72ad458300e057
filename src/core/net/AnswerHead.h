#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "net/Url.h"

namespace tandu::net {

// The head of a server's answer: status line and header lines.
struct AnswerHead {
    // No real file is larger: a length beyond it cannot be trusted.
    static constexpr std::int64_t kLargestSize = std::int64_t{1} << 60;

    // "Content-Range: bytes first-last/total"; total is unknown for "*".
    struct ContentRange {
        std::int64_t first = 0;
        std::int64_t last = 0;
        std::optional<std::int64_t> total;
    };

    // Reads the head as it arrived (status line, header lines, blank line).
    static AnswerHead parse(std::string_view raw, Url url);

    // The value of the first header of that name (any case), trimmed.
    std::optional<std::string> header(std::string_view name) const;
    // The file name Content-Disposition gives, as bytes: filename* (its
    // escapes decoded) before filename.
    std::optional<std::string> fileName() const;

    int status = 0;
    // Exactly as received, line ends kept.
    std::string raw;
    std::vector<std::pair<std::string, std::string>> headers;
    std::optional<std::int64_t> contentLength;
    // A Content-Length that is there but not a plain decimal number of a real size.
    bool malformedLength = false;
    std::optional<ContentRange> contentRange;
    bool acceptsRanges = false;
    // Only the delay form in seconds.
    std::optional<std::chrono::seconds> retryAfter;
    // Where the answer came from, after any redirects.
    Url url;
};

}  // namespace tandu::net
