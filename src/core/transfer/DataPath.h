#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tandu {

class Download;
struct Stretch;

namespace net {
class Fetch;
struct AnswerHead;
struct FetchFailure;
}  // namespace net

// Fetches 1..n: each asks for the next bytes its stretch misses, in ranges
// bounded by the speed (RangeRules), buffers the body and writes it in place
// once the buffer outgrows the buffer size; a range that came whole is
// followed by the next on the same connection, until the stretch is
// complete. A broken fetch goes out again from the first missing byte.
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

    // The events of stretch `index`'s fetch; also of the first request once
    // it is handed over to stretch 1.
    void onHead(int index, const net::AnswerHead& head);
    void onBody(int index, std::string_view bytes);
    void onEnd(int index);
    void onFailure(int index, const net::FetchFailure& failure);
    // The answer's body is the stretch's bytes, after `skip` leading ones.
    void accepted(int index, const net::AnswerHead& head, std::int64_t skip);

private:
    bool live(int index) const;
    // How much the stretch's next request asks for.
    std::int64_t nextAsk(const Stretch& p) const;
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
