#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/AnswerHead.h"

namespace tandu {

// What a connection may do with the answer to its ranged GET.
struct RangeAnswer {
    enum class Kind {
        Accept,        // the body is the bytes asked for (after `skip` leading bytes)
        IgnoresRange,  // the whole file instead of a piece of it
        Unusable,      // anything else; `reason` says why
    };
    Kind kind = Kind::Unusable;
    std::int64_t skip = 0;
    std::string reason;

    // The answer to a GET of bytes first..last (no last: to the end).
    // fileSize: none when not yet known. wholeFileUsable: the download runs
    // over one connection, so a whole-file answer can be used from byte
    // `first` on. Only a body that is exactly those bytes, unencoded, with
    // lengths that agree, is accepted.
    static RangeAnswer judge(const net::AnswerHead& head, std::int64_t first,
                             std::optional<std::int64_t> last, std::optional<std::int64_t> fileSize,
                             bool wholeFileUsable);

    // The file's size by an accepted answer to a GET from byte 0; none when
    // it does not say.
    static std::optional<std::int64_t> sizeOf(const net::AnswerHead& head);
    // A status that says "not now": the request is worth making again.
    static bool passing(int status) {
        return status == 408 || status == 429 || status == 500 || status == 502 || status == 503 ||
               status == 504;
    }
};

}  // namespace tandu
