#include "storage/PiecePlan.h"

namespace tandu {

PiecePlan PiecePlan::make(std::int64_t fileSize, int pieces) {
    PiecePlan plan;
    plan.pieces = pieces;
    plan.fileSize = fileSize;
    plan.pieceSize = fileSize / pieces;
    plan.remainder = fileSize % pieces;
    return plan;
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
