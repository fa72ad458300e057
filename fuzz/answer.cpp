#include <string_view>

#include "FuzzFile.h"
#include "transfer/AnnouncedDigest.h"
#include "transfer/RangeAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const std::string text = fuzz::text(data, size);
    const auto head = net::AnswerHead::parse(text, net::Url());
    RangeAnswer::probedSize(head);
    // A digest a server announces is one the checker can hold the file to.
    if (const auto digest = AnnouncedDigest(head);
        digest && digest->hex.size() != Checksum::hexLength(digest->algorithm)) {
        __builtin_trap();
    }
    const std::int64_t fileSize = head.contentLength.value_or(1000);
    for (const std::int64_t first : {std::int64_t{0}, fileSize / 2}) {
        for (const bool whole : {false, true}) {
            const RangeAnswer answer = RangeAnswer::judge(head, first, fileSize, whole);
            if (answer.kind == RangeAnswer::Kind::Accept &&
                (RangeAnswer::encodedTransfer(head) || RangeAnswer::lengthConflicts(head) ||
                 answer.skip < 0)) {
                __builtin_trap();  // framing or an unknown end taken for the file
            }
        }
    }
    return 0;
}
