#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "net/Fetcher.h"
#include "net/Url.h"
#include "platform/Checksum.h"
#include "storage/PiecePlan.h"
#include "storage/SettingsFile.h"
#include "transfer/PieceBuffer.h"

namespace tandu {

// Part of one piece that one connection fetches. Piece i starts as stretch i,
// from the piece's start, fetched by connection i; a connection that has
// nothing left to do takes the far part of a slow stretch as a new one.
struct Stretch {
    // The length of a file whose size comes only with its end.
    static constexpr std::int64_t kUnknownLength = INT64_MAX / 2;

    int piece = 0;
    int connection = 0;
    std::int64_t start = 0;  // offset of the stretch's first byte in the file
    std::int64_t length = 0;
    std::int64_t received = 0;      // body bytes taken: written or still buffered
    std::int64_t written = 0;       // of those, the ones in the target file
    std::int64_t lastReceived = 0;  // `received` at the previous tick
    std::int64_t speed = 0;         // bytes in the last tick
    std::int64_t secondsLeft = 0;   // at that speed
    // The running request asks for bytes up to here, counted from `start`
    // (exclusive); the next one goes out when they have come.
    std::int64_t askedTo = 0;
    // The request going out follows one that came whole: the speed stays known.
    bool nextRange = false;
    bool headerPending = true;
    bool done = false;
    // Tries that failed in a row; a retry waits `retryIn` more ticks.
    int failures = 0;
    int retryIn = 0;
    // Its tries are spent: no connection fetches it until a helper takes part of it.
    bool gaveUp = false;
    std::int64_t skip = 0;  // leading body bytes to drop (a whole-file answer)
    // Its recent speed between ticks, bytes a second (below 0: not known
    // yet), from `received` sampled at a time.
    double recentRate = -1;
    // recentRate is the last request's, until this one's first sample.
    bool priorRate = false;
    // The fastest sample since its connection's request began: what may
    // still be on its way when it slows.
    double peakRate = 0;
    std::chrono::steady_clock::time_point sampledAt;
    std::int64_t sampledFrom = 0;
    // When the running request went out, and `received` when its head came.
    std::chrono::steady_clock::time_point askedAt;
    std::int64_t headFrom = 0;
    // Far slower than the fastest since then; none: it is not.
    std::optional<std::chrono::steady_clock::time_point> crawlingSince;
    PieceBuffer buffer;
    // The last bytes written when the stretch completed; the buffer gauge goes
    // on counting them while its connection has nothing else to do.
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
    std::string defURL;
    std::string saveFolder;
    std::string defPieces;
    // Lines newer builds added; written back with every rewrite of the definition.
    std::map<std::string, std::string> defExtras;

    // What the browser that handed the link over sends with it.
    net::BrowserSession session;
    // The address as added, and where the first answer's redirects led.
    std::optional<net::Url> source;
    std::optional<net::Url> fetchUrl;
    PiecePlan plan;
    std::int64_t bufferSize = SettingsFile::kDefaultBufferBytes;
    bool downloading = false;
    bool probing = false;        // a fresh start waits for its first answer
    bool oneConnection = false;  // the server sends only whole files
    // The size comes only with the end of the body: one connection, no ranges.
    bool sizeUnknown = false;
    // An earlier start that learnt no size left its bytes in the target.
    bool leftover = false;
    bool followOnPieces = false;
    // A ranged answer came: the server cuts pieces, helpers may cut them finer.
    bool rangesHonoured = false;
    // What the file must hash to (given, or announced by the server), and
    // whether it is being hashed now.
    std::optional<Checksum> checksum;
    bool verifying = false;
    // Every byte is in: the target is being made durable and the stored files
    // removed.
    bool finishing = false;
    bool afterLastByte() const { return verifying || finishing; }
    // Bytes a second of the fastest stretch lately, when last sampled.
    double fastestRate = 0;
    std::chrono::steady_clock::time_point sampledAt;
    // The shortest wait for an answer's head in this transfer, in seconds: the
    // path's round trip, without the waits of a busy program.
    double shortestTrip = 1e9;
    int probeFailures = 0;
    int probeRetryIn = 0;
    // Stretch k is stretches[k - 1]; stretches 1..n are the pieces' own. A
    // stretch stays where it is while helpers' stretches are added.
    std::deque<Stretch> stretches;

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
    int stretchCount() const { return static_cast<int>(stretches.size()); }
    Stretch& stretch(int k) { return stretches[static_cast<std::size_t>(k - 1)]; }
    const Stretch& stretch(int k) const { return stretches[static_cast<std::size_t>(k - 1)]; }
    // One stretch per piece of the plan; counts (when given) are bytes already written.
    void layOutPieces(const std::vector<std::int64_t>& counts = {});
    // Per piece, the bytes in the target file without a gap from its start:
    // what a helper wrote further on counts once the run reaches it.
    std::vector<std::int64_t> writtenCounts() const;
    bool allPiecesDone() const;
    // The stretch connection c works on now (or worked on last); 0 for none.
    int stretchOf(int connection) const;
};

}  // namespace tandu
