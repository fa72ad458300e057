#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/Url.h"
#include "settings/SettingsFile.h"
#include "transfer/PieceBuffer.h"
#include "transfer/PiecePlan.h"

namespace tandu {

// One piece of the running transfer, fetched by the connection of the same number.
struct PieceState {
    // The length of a file whose size comes only with its end.
    static constexpr std::int64_t kUnknownLength = INT64_MAX / 2;

    std::int64_t start = 0;  // offset of the piece's first byte in the file
    std::int64_t length = 0;
    std::int64_t received = 0;      // body bytes taken: written or still buffered
    std::int64_t written = 0;       // of those, the ones in the target file
    std::int64_t lastReceived = 0;  // `received` at the previous tick
    std::int64_t speed = 0;         // bytes in the last tick
    std::int64_t secondsLeft = 0;   // at that speed
    bool headerPending = true;
    bool done = false;
    // Tries that failed in a row; a retry waits `retryIn` more ticks.
    int failures = 0;
    int retryIn = 0;
    std::int64_t skip = 0;  // leading body bytes to drop (a whole-file answer)
    PieceBuffer buffer;
    // The last bytes written when the piece completed; the buffer gauge goes on
    // counting them, as the pages always did.
    std::int64_t finalWrite = 0;

    std::int64_t firstWanted() const { return start + received; }
    std::int64_t lastWanted() const { return start + length - 1; }
    std::int64_t missing() const { return length - received; }
    std::int64_t buffered() const {
        return done ? finalWrite : static_cast<std::int64_t>(buffer.size());
    }
};

// Everything about a download's transfer, as plain figures.
struct TransferRecord {
    // The definition file's lines as read.
    std::string fileName;
    std::string defState;
    std::string defURL;
    std::string saveFolder;
    std::string defPieces;
    std::string defSize;
    std::string defPieceSize;
    std::string defRemainder;

    // The address as added, and where the probe's redirects led.
    std::optional<net::Url> source;
    std::optional<net::Url> fetchUrl;
    PiecePlan plan;
    std::int64_t bufferSize = SettingsFile::kDefaultBufferBytes;
    bool downloading = false;
    bool probing = false;        // a fresh start waits for the probe's answer
    bool oneConnection = false;  // the server sends only whole files
    // The size comes only with the end of the body: one connection, no ranges.
    bool sizeUnknown = false;
    // An earlier start that learnt no size left its bytes in the target.
    bool leftover = false;
    bool followOnPieces = false;
    int probeFailures = 0;
    int probeRetryIn = 0;
    std::vector<PieceState> pieces;  // piece i is pieces[i - 1]

    std::string definitionPath;
    std::string progressPath;
    std::string targetPath;

    // Timer totals.
    std::int64_t tickBytes = 0;
    std::int64_t totalReceived = 0;
    std::int64_t totalBuffered = 0;
    std::int64_t secondsLeft = 0;
    int ticks = 0;  // since the transfer began

    int pieceCount() const { return plan.pieces; }
    PieceState& piece(int i) { return pieces[static_cast<std::size_t>(i - 1)]; }
    const PieceState& piece(int i) const { return pieces[static_cast<std::size_t>(i - 1)]; }
    // Fresh per-piece state for the plan; counts (when given) are bytes already written.
    void layOutPieces(const std::vector<std::int64_t>& counts = {});
    std::vector<std::int64_t> writtenCounts() const;
    bool allPiecesDone() const;
};

}  // namespace tandu
