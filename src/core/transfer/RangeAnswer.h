#pragma once

#include <cstdint>
#include <string>

#include "transfer/HttpHeader.h"

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

    // first: the first byte asked for. wholeFileUsable: the download runs over
    // one connection, so a whole-file answer can be used from byte `first` on.
    static RangeAnswer judge(const HttpHeader& header, std::int64_t first, std::int64_t fileSize,
                             bool wholeFileUsable);
};

}  // namespace tandu
