#include "FuzzFile.h"
#include "storage/DefinitionFile.h"
#include "storage/TextFile.h"
#include "storage/PiecePlan.h"
#include "net/Url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const auto definition = DefinitionFile::read(fuzz::storedFile(data, size));
    if (!definition) {
        return 0;
    }
    // What a start and a resume make of it.
    net::Url::parse(definition->url);
    const auto pieces = textfile::parseWholeNumber(definition->pieces);
    const auto fileSize = textfile::parseWholeNumber(definition->size);
    const auto pieceSize = textfile::parseWholeNumber(definition->pieceSize);
    const auto remainder = textfile::parseWholeNumber(definition->remainder);
    if (pieces && fileSize && pieceSize && remainder && *pieces >= 1 &&
        *pieces <= PiecePlan::kMostPieces) {
        const PiecePlan plan{static_cast<int>(*pieces), *fileSize, *pieceSize, *remainder};
        if (plan.consistent()) {
            for (int i = 1; i <= plan.pieces; ++i) {
                plan.start(i);
                plan.length(i);
            }
        }
    }
    if (fileSize && *fileSize >= 0 && pieces && *pieces >= 1 && *pieces <= PiecePlan::kMostPieces) {
        PiecePlan::make(*fileSize, static_cast<int>(*pieces));
    }
    return 0;
}
