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

const char* kChanged =
    "The file on the server is no longer the size it had when the download began.";

}  // namespace

bool RangeAnswer::lengthConflicts(const net::AnswerHead& head) {
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

bool RangeAnswer::encodedTransfer(const net::AnswerHead& head) {
    const auto encoding = head.header("Transfer-Encoding");
    return encoding && !sameName(*encoding, "chunked");
}

std::optional<std::int64_t> RangeAnswer::probedSize(const net::AnswerHead& head) {
    if (!successful(head) || encodedTransfer(head) || lengthConflicts(head)) {
        return std::nullopt;
    }
    if (head.status == 206) {
        if (head.contentRange && head.contentRange->first == 0) {
            return head.contentRange->total;
        }
        return std::nullopt;
    }
    if (head.header("Transfer-Encoding")) {
        return std::nullopt;  // a length beside chunks means nothing
    }
    return head.contentLength;
}

RangeAnswer RangeAnswer::judge(const net::AnswerHead& head, std::int64_t first,
                               std::optional<std::int64_t> fileSize, bool wholeFileUsable) {
    const bool chunked = head.header("Transfer-Encoding").has_value();
    // Chunks decoded are the file only where no range was asked for.
    if (successful(head) && (encodedTransfer(head) || (chunked && fileSize))) {
        return unusable("The server sent the file with a transfer encoding (" +
                        head.header("Transfer-Encoding").value_or("") +
                        "), not as plain bytes that can be written in place.");
    }
    if (successful(head) && lengthConflicts(head)) {
        return unusable("The server's answer gives two different lengths.");
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
