#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tandu {

// A link handed to Tandu, as the browser's extension sends it and as the
// running window receives it: {"url": ADDRESS, "referrer": PAGE, "userAgent":
// UA, "cookies": "a=1; b=2", "filename": NAME}, every field but url optional.
// Reading it checks every field: a message that could smuggle a header line
// or an oversized value is refused; a referrer that is no web address and a
// file name that is no plain name are dropped.
struct HandOffMessage {
    static constexpr std::size_t kMaxAddress = 8192;
    static constexpr std::size_t kMaxUserAgent = 1024;
    static constexpr std::size_t kMaxCookies = 64 * 1024;
    static constexpr std::size_t kMaxFileName = 240;

    std::string url;
    std::string referrer;
    std::string userAgent;
    std::string cookies;
    std::string fileName;

    // The message, or nothing with the reason in `error`.
    static std::optional<HandOffMessage> parse(std::string_view json, std::string* error);
    // Why the text is no http or https address Tandu takes; empty when it is one.
    static std::string addressProblem(std::string_view address);
    // One line of JSON with the fields that are set.
    std::string json() const;
    // Something goes with the link beyond the address.
    bool hasSession() const { return !referrer.empty() || !userAgent.empty() || !cookies.empty(); }
};

}  // namespace tandu
