#pragma once

#include <cstddef>
#include <string>

namespace tandu {

class Download;

// WS(1)..WS(n): each asks for the bytes its piece still misses, keeps the
// answer's header out of the file, buffers the body and writes it in place
// once the buffer outgrows the buffer size, and closes when its piece is complete.
class DataPath {
public:
    // Bytes taken from a socket at a time: a connection holds at most the
    // buffer size plus one of these.
    static constexpr std::size_t kChunk = 256 * 1024;
    static constexpr std::size_t kHeaderStep = 16 * 1024;

    explicit DataPath(Download& download) : engine_(download) {}

    void onConnect(int index);
    void onData(int index);
    void onClose(int index);
    void onError(int index, const std::string& description);

private:
    enum class Flow { More, Stop };

    bool live(int index) const;
    // Takes what WS(index) holds; Stop when the connection is gone or done.
    Flow take(int index);
    Flow takeHeader(int index);
    // `count` new bytes sit at the end of the piece's buffer.
    Flow accept(int index, std::size_t count);
    bool flush(int index);
    void completePiece(int index);
    void refuse(int index, const std::string& reason);
    // The server sends whole files only: one connection fetches the whole file.
    void fallBackToOneConnection();

    Download& engine_;
};

}  // namespace tandu
