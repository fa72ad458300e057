#include "transfer/RangeAnswer.h"

#include <algorithm>
#include <cctype>

namespace tandu {

namespace {

RangeAnswer unusable(std::string reason) {
    RangeAnswer answer;
    answer.kind = RangeAnswer::Kind::Unusable;
    answer.reason = std::move(reason);
    return answer;
}

RangeAnswer accept(std::int64_t skip) {
    RangeAnswer answer;
    answer.kind = RangeAnswer::Kind::Accept;
    answer.skip = skip;
    return answer;
}

bool sameName(const std::string& a, const char* b) {
    const std::string_view other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool successful(const net::AnswerHead& head) {
    return head.status >= 200 && head.status < 300;
}

std::string statusLine(const net::AnswerHead& head) {
    return head.raw.substr(0, std::min(head.raw.find_first_of("\r\n"), head.raw.size()));
}

// Two Content-Length lines that disagree: no length can be trusted.
bool lengthConflicts(const net::AnswerHead& head) {
    std::optional<std::string> seen;
    for (const auto& [name, value] : head.headers) {
        if (!sameName(name, "Content-Length")) {
            continue;
        }
        if (seen && *seen != value) {
            return true;
        }
        seen = value;
    }
    return false;
}

// Why a successful answer's body is not the file's bytes as they are.
std::optional<std::string> notPlainBytes(const net::AnswerHead& head, bool chunksAllowed) {
    const auto transfer = head.header("Transfer-Encoding");
    if (transfer && !(chunksAllowed && sameName(*transfer, "chunked"))) {
        return "The server sent the file with a transfer encoding (" + *transfer +
               "), not as plain bytes that can be written in place.";
    }
    if (const auto content = head.header("Content-Encoding");
        content && !sameName(*content, "identity")) {
        return "The server sent the file encoded (" + *content +
               "), not as the bytes themselves, which are written in place.";
    }
    if (lengthConflicts(head)) {
        return std::string("The server's answer gives two different lengths.");
    }
    if (head.malformedLength) {
        return "The server's answer gives a length that cannot be right (Content-Length: " +
               head.header("Content-Length").value_or("") + ").";
    }
    return std::nullopt;
}

const char* kChanged =
    "The file on the server is no longer the size it had when the download began.";

}  // namespace

std::optional<std::int64_t> RangeAnswer::sizeOf(const net::AnswerHead& head) {
    if (head.status == 206) {
        return head.contentRange ? head.contentRange->total : std::nullopt;
    }
    return head.header("Transfer-Encoding") ? std::nullopt : head.contentLength;
}

RangeAnswer RangeAnswer::judge(const net::AnswerHead& head, std::int64_t first,
                               std::optional<std::int64_t> last,
                               std::optional<std::int64_t> fileSize, bool wholeFileUsable) {
    const bool chunked = head.header("Transfer-Encoding").has_value();
    // Chunks decoded are the file only where the whole of it of unknown size was asked for.
    if (successful(head)) {
        if (auto reason = notPlainBytes(head, head.status == 200 && !fileSize)) {
            return unusable(*reason);
        }
    }
    if (head.status == 206) {
        const auto& range = head.contentRange;
        if (!range) {
            return unusable("The server sent part of the file without saying which part.");
        }
        if (range->total && fileSize && *range->total != *fileSize) {
            return unusable(kChanged);
        }
        if (range->first != first) {
            return unusable("The server sent the file from byte " + std::to_string(range->first) +
                            " instead of byte " + std::to_string(first) + ".");
        }
        std::optional<std::int64_t> end = last;
        if (range->total) {
            end = std::min(last.value_or(*range->total - 1), *range->total - 1);
        }
        if (end && range->last != *end) {
            return unusable("The server sent bytes " + std::to_string(range->first) + " to " +
                            std::to_string(range->last) + " instead of bytes " +
                            std::to_string(first) + " to " + std::to_string(*end) + ".");
        }
        if (head.contentLength && *head.contentLength != range->last - range->first + 1) {
            return unusable("The server's answer says it holds " +
                            std::to_string(*head.contentLength) + " bytes, but the part it names " +
                            "holds " + std::to_string(range->last - range->first + 1) + ".");
        }
        return accept(0);
    }
    if (head.status == 200) {
        if (!chunked && head.contentLength && fileSize && *head.contentLength != *fileSize) {
            return unusable(kChanged);
        }
        if (first == 0) {
            return accept(0);
        }
        if (wholeFileUsable) {
            return accept(first);
        }
        RangeAnswer answer;
        answer.kind = Kind::IgnoresRange;
        return answer;
    }
    if (head.status == 0) {
        return unusable("The server's answer is not an HTTP answer.");
    }
    return unusable("The server answered: " + statusLine(head));
}

}  // namespace tandu
