#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "storage/HandOffMessage.h"

namespace tandu {

// One message from the browser's extension, as its native-messaging host
// reads it: a 4-byte length in the machine's byte order, then that many
// bytes of JSON, checked as a HandOffMessage.
class HostRequest {
public:
    static constexpr std::uint32_t kMaxMessage = 1024 * 1024;

    // Reads one message; a refused length is never read past.
    static HostRequest read(std::istream& in);
    static HostRequest fromJson(std::string_view json);
    static HostRequest refused(std::string error);

    bool accepted() const { return error_.empty(); }
    const HandOffMessage& message() const { return message_; }
    const std::string& address() const { return message_.url; }
    const std::string& error() const { return error_; }
    // The framed answer: {"ok":true} or {"ok":false,"error":TEXT}.
    std::string answer() const;

private:
    HandOffMessage message_;
    std::string error_;
};

}  // namespace tandu
