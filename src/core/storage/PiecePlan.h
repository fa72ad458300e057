#pragma once

#include <cstdint>

namespace tandu {

// How a file is cut into pieces: every piece has pieceSize bytes, the last one
// also the remainder. Pieces are numbered from 1; piece i starts at (i-1) x pieceSize.
struct PiecePlan {
    static constexpr int kMostPieces = 16;

    int pieces = 0;
    std::int64_t fileSize = 0;
    std::int64_t pieceSize = 0;
    std::int64_t remainder = 0;

    static PiecePlan make(std::int64_t fileSize, int pieces);
    // The pieces worth making of a file: up to `wanted`, none smaller than `smallest`.
    static int worth(std::int64_t fileSize, int wanted, std::int64_t smallest);

    std::int64_t start(int piece) const { return (piece - 1) * pieceSize; }
    std::int64_t length(int piece) const { return pieceSize + (piece == pieces ? remainder : 0); }
    // The numbers describe a file cut as make() would cut it.
    bool consistent() const;
};

}  // namespace tandu
