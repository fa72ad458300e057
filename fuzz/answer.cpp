#include <string_view>

#include "FuzzFile.h"
#include "transfer/HttpHeader.h"
#include "transfer/RangeAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const std::string text = fuzz::text(data, size);
    const auto end = HttpHeader::findEnd(text, size > 0 ? data[0] % (size + 1) : 0);
    if (end && *end > text.size()) {
        __builtin_trap();
    }
    const HttpHeader header =
        HttpHeader::parse(std::string_view(text).substr(0, end.value_or(size)));
    header.contentRange();
    header.field("Content-Type");
    const std::int64_t fileSize = header.contentLength().value_or(1000);
    for (const std::int64_t first : {std::int64_t{0}, fileSize / 2}) {
        for (const bool whole : {false, true}) {
            const RangeAnswer answer = RangeAnswer::judge(header, first, fileSize, whole);
            if (answer.kind == RangeAnswer::Kind::Accept &&
                (header.encodedTransfer() || header.lengthConflicts() || answer.skip < 0)) {
                __builtin_trap();  // framing or an unknown end taken for the file
            }
        }
    }
    return 0;
}
