#pragma once

#include <cstdint>

namespace tandu {

// How much one request asks for. Bounded requests end soon after a helper
// cuts their stretch short or a crawling one is asked again, so the server
// sends little that is thrown away, and each ends cleanly, leaving its
// connection for the next.
struct RangeRules {
    // The first request of a fresh start asks for this much from byte 0.
    std::int64_t first = 1 << 20;
    // No piece of a plan is smaller; at least `first`, so that the first
    // answer serves piece 1 alone.
    std::int64_t smallestPiece = 1 << 20;
    // Later requests ask for what `seconds` bring at the stretch's speed (at
    // least `seconds` of round trips' worth), never less than `least` nor
    // more than `most`.
    std::int64_t least = 4 << 20;
    std::int64_t most = 16 << 20;
    double seconds = 1;
};

}  // namespace tandu
