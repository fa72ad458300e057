#include "transfer/TransferRecord.h"

#include <algorithm>

namespace tandu {

void TransferRecord::layOutPieces(const std::vector<std::int64_t>& counts) {
    stretches.clear();
    stretches.resize(static_cast<std::size_t>(plan.pieces));
    for (int i = 1; i <= plan.pieces; ++i) {
        Stretch& p = stretch(i);
        p.piece = p.connection = i;
        p.start = plan.start(i);
        p.length = plan.length(i);
        const std::size_t index = static_cast<std::size_t>(i - 1);
        const std::int64_t count = index < counts.size() ? counts[index] : 0;
        p.received = p.written = p.lastReceived = std::clamp<std::int64_t>(count, 0, p.length);
        p.done = p.received >= p.length;
    }
}

std::vector<std::int64_t> TransferRecord::writtenCounts() const {
    std::vector<const Stretch*> ordered;
    ordered.reserve(stretches.size());
    for (const Stretch& s : stretches) {
        ordered.push_back(&s);
    }
    std::sort(ordered.begin(), ordered.end(),
              [](const Stretch* a, const Stretch* b) { return a->start < b->start; });
    std::vector<std::int64_t> counts(static_cast<std::size_t>(plan.pieces), 0);
    std::vector<bool> gap(counts.size(), false);
    // A piece's stretches lie end to end from its start.
    for (const Stretch* s : ordered) {
        const std::size_t i = static_cast<std::size_t>(s->piece - 1);
        if (i < counts.size() && !gap[i]) {
            counts[i] += s->written;
            gap[i] = s->written < s->length;
        }
    }
    return counts;
}

bool TransferRecord::allPiecesDone() const {
    return !stretches.empty() &&
           std::all_of(stretches.begin(), stretches.end(), [](const Stretch& p) { return p.done; });
}

int TransferRecord::stretchOf(int connection) const {
    for (int k = stretchCount(); k >= 1; --k) {
        if (stretch(k).connection == connection) {
            return k;
        }
    }
    return 0;
}

}  // namespace tandu
