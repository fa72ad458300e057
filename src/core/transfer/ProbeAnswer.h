#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tandu {

class Socket;

// The answer to the probe, gathered over as many arrivals as it takes until
// the blank line that ends its header.
class ProbeAnswer {
public:
    enum class Progress { Incomplete, Complete, Unusable };

    void clear();
    // Takes what the socket holds, up to the end of the header.
    Progress take(Socket& socket);
    Progress progress() const { return progress_; }
    // The header as received (the blank line included once complete).
    const std::string& text() const { return text_; }
    // What a complete answer says of the file: its size, when the status is
    // 2xx and Content-Length is a whole number.
    std::optional<std::int64_t> fileSize() const;

private:
    std::string text_;
    Progress progress_ = Progress::Incomplete;
};

}  // namespace tandu
