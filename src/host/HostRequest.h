#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace tandu {

// One message from the browser's extension, as its native-messaging host
// reads it: a 4-byte length in the machine's byte order, then that many
// bytes of JSON, {"url": ADDRESS}. Only one http or https address of
// reasonable length without control characters or blanks is accepted.
class HostRequest {
public:
    static constexpr std::uint32_t kMaxMessage = 1024 * 1024;
    static constexpr std::size_t kMaxAddress = 8192;

    // Reads one message; a refused length is never read past.
    static HostRequest read(std::istream& in);
    static HostRequest fromJson(std::string_view json);
    static HostRequest refused(std::string error);

    bool accepted() const { return error_.empty(); }
    const std::string& address() const { return address_; }
    const std::string& error() const { return error_; }
    // The framed answer: {"ok":true} or {"ok":false,"error":TEXT}.
    std::string answer() const;

private:
    std::string address_;
    std::string error_;
};

}  // namespace tandu
