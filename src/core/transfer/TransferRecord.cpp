#include "transfer/TransferRecord.h"

#include <algorithm>

namespace tandu {

void TransferRecord::layOutPieces(const std::vector<std::int64_t>& counts) {
    pieces.clear();
    pieces.resize(static_cast<std::size_t>(plan.pieces));
    for (int i = 1; i <= plan.pieces; ++i) {
        PieceState& p = piece(i);
        p.start = plan.start(i);
        p.length = plan.length(i);
        const std::size_t index = static_cast<std::size_t>(i - 1);
        const std::int64_t count = index < counts.size() ? counts[index] : 0;
        p.received = p.written = p.lastReceived = std::clamp<std::int64_t>(count, 0, p.length);
        p.done = p.received >= p.length;
    }
}

std::vector<std::int64_t> TransferRecord::writtenCounts() const {
    std::vector<std::int64_t> counts;
    counts.reserve(pieces.size());
    for (const PieceState& p : pieces) {
        counts.push_back(p.written);
    }
    return counts;
}

bool TransferRecord::allPiecesDone() const {
    return !pieces.empty() &&
           std::all_of(pieces.begin(), pieces.end(), [](const PieceState& p) { return p.done; });
}

}  // namespace tandu
