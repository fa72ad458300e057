#include "storage/PiecePlan.h"

#include <algorithm>

namespace tandu {

PiecePlan PiecePlan::make(std::int64_t fileSize, int pieces) {
    PiecePlan plan;
    plan.pieces = pieces;
    plan.fileSize = fileSize;
    plan.pieceSize = fileSize / pieces;
    plan.remainder = fileSize % pieces;
    return plan;
}

int PiecePlan::worth(std::int64_t fileSize, int wanted, std::int64_t smallest) {
    const std::int64_t most = smallest > 0 ? fileSize / smallest : wanted;
    return static_cast<int>(std::clamp<std::int64_t>(most, 1, std::max(wanted, 1)));
}

bool PiecePlan::consistent() const {
    if (pieces < 1 || pieces > kMostPieces || fileSize < 0 || pieceSize < 0 || remainder < 0 ||
        remainder >= pieces) {
        return false;
    }
    // pieceSize <= fileSize keeps the product below the largest 64-bit value.
    return pieceSize <= fileSize && pieceSize * pieces + remainder == fileSize;
}

}  // namespace tandu
