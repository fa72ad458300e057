#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/AnswerHead.h"

namespace tandu {

// What a data connection may do with the answer to its ranged GET.
struct RangeAnswer {
    enum class Kind {
        Accept,        // the body is the bytes asked for (after `skip` leading bytes)
        IgnoresRange,  // the whole file instead of a piece of it
        Unusable,      // anything else; `reason` says why
    };
    Kind kind = Kind::Unusable;
    std::int64_t skip = 0;
    std::string reason;

    // first: the first byte asked for. fileSize: none when not yet known.
    // wholeFileUsable: the download runs over one connection, so a whole-file
    // answer can be used from byte `first` on.
    static RangeAnswer judge(const net::AnswerHead& head, std::int64_t first,
                             std::optional<std::int64_t> fileSize, bool wholeFileUsable);

    // The file's size by the answer to the probe (a HEAD, or a GET of byte 0
    // whose body is not wanted); none when it does not say or cannot be used.
    static std::optional<std::int64_t> probedSize(const net::AnswerHead& head);
    // Two Content-Length lines that disagree: no length can be trusted.
    static bool lengthConflicts(const net::AnswerHead& head);
    // A status that says "not now": the request is worth making again.
    static bool passing(int status) {
        return status == 408 || status == 429 || status == 500 || status == 502 || status == 503 ||
               status == 504;
    }
    // A transfer encoding the network layer does not take off.
    static bool encodedTransfer(const net::AnswerHead& head);
};

}  // namespace tandu
