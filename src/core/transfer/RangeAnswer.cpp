#include "transfer/RangeAnswer.h"

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

const char* kChanged =
    "The file on the server is no longer the size it had when the download began.";

}  // namespace

RangeAnswer RangeAnswer::judge(const HttpHeader& header, std::int64_t first, std::int64_t fileSize,
                               bool wholeFileUsable) {
    if (header.successful() && header.encodedTransfer()) {
        return unusable("The server sent the file with a transfer encoding (" +
                        header.field("Transfer-Encoding").value_or("") +
                        "), not as plain bytes that can be written in place.");
    }
    if (header.successful() && header.lengthConflicts()) {
        return unusable("The server's answer gives two different lengths.");
    }
    if (header.status() == 206) {
        const auto range = header.contentRange();
        if (!range) {
            return unusable("The server sent part of the file without saying which part.");
        }
        if (range->total && *range->total != fileSize) {
            return unusable(kChanged);
        }
        if (range->first != first) {
            return unusable("The server sent the file from byte " + std::to_string(range->first) +
                            " instead of byte " + std::to_string(first) + ".");
        }
        return accept(0);
    }
    if (header.status() == 200) {
        const auto length = header.contentLength();
        if (length && *length != fileSize) {
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
    if (header.status() == 0) {
        return unusable("The server's answer is not an HTTP answer.");
    }
    return unusable("The server answered: " + header.statusLine());
}

}  // namespace tandu
