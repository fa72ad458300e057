#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tandu {

class Download;

namespace net {
class Fetch;
struct AnswerHead;
struct FetchFailure;
}  // namespace net

// Fetches 1..n: each asks for the bytes its piece still misses, buffers the
// body and writes it in place once the buffer outgrows the buffer size, and
// ends when its piece is complete. A broken fetch goes out again from the
// first missing byte.
class DataPath {
public:
    // The most bytes a body chunk brings; the buffer keeps room for one.
    static constexpr std::size_t kChunk = 256 * 1024;
    // Bytes a fetch brings before its stretch's earlier failures are forgiven.
    static constexpr std::int64_t kMovedAgain = 64 * 1024;

    explicit DataPath(Download& download) : engine_(download) {}

    std::unique_ptr<net::Fetch> start(int index);
    // The one way bytes reach the target: they follow the stretch's written
    // ones and count as written. False with the system's reason.
    bool write(int index, const char* bytes, std::size_t count, std::string* reason);

private:
    bool live(int index) const;
    void onHead(int index, const net::AnswerHead& head);
    void onBody(int index, std::string_view bytes);
    void onEnd(int index);
    void onFailure(int index, const net::FetchFailure& failure);
    // The piece has `count` more of its bytes.
    void received(int index, std::size_t count);
    bool flush(int index);
    // A whole-file answer to a resume of a file of unknown size: the file
    // starts again from byte 0, emptied.
    bool restartWhole(int index);
    // write(), then the progress file; a failure ends the transfer.
    bool writeOut(int index, const char* bytes, std::size_t count);
    void completePiece(int index);
    // The plan changed: definition and progress file say so; false when either fails.
    bool storePlan();
    // The body ended: a file of unknown size is whole now.
    void completeUnknownSize();
    // The server sends whole files only: one connection fetches the whole file.
    void fallBackToOneConnection();

    Download& engine_;
};

}  // namespace tandu
