#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzFile.h"
#include "transfer/AnnouncedDigest.h"
#include "transfer/RangeAnswer.h"

namespace {

bool encoded(const tandu::net::AnswerHead& head) {
    auto value = head.header("Content-Encoding");
    if (!value) {
        return false;
    }
    for (char& c : *value) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return *value != "identity";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const std::string text = fuzz::text(data, size);
    const auto head = net::AnswerHead::parse(text, net::Url());
    if (const auto told = RangeAnswer::sizeOf(head); told && *told < 0) {
        __builtin_trap();
    }
    // A digest a server announces is one the checker can hold the file to.
    if (const auto digest = AnnouncedDigest(head);
        digest && digest->hex.size() != Checksum::hexLength(digest->algorithm)) {
        __builtin_trap();
    }
    const std::int64_t fileSize = head.contentLength.value_or(1000);
    for (const std::int64_t first : {std::int64_t{0}, fileSize / 2}) {
        for (const bool bounded : {false, true}) {
            const auto last = bounded ? std::optional<std::int64_t>(fileSize - 1) : std::nullopt;
            for (const bool whole : {false, true}) {
                const RangeAnswer answer = RangeAnswer::judge(head, first, last, fileSize, whole);
                if (answer.kind == RangeAnswer::Kind::Accept &&
                    (encoded(head) || head.malformedLength || answer.skip < 0)) {
                    __builtin_trap();  // encoded bytes or a length not understood, taken for the file
                }
            }
        }
    }
    return 0;
}
