#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tandu::net {

// A web address split into its parts. The text is kept exactly as given:
// requests that must go out as they always did send it unchanged.
class Url {
public:
    // Why a text is not a usable address.
    struct Error {
        enum class Kind { Malformed, UnknownScheme };
        Kind kind = Kind::Malformed;
        std::string message;
    };

    // Blanks around the address are allowed; control characters never are,
    // since the text may become a request line.
    static std::optional<Url> parse(std::string_view text, Error* error = nullptr);

    const std::string& text() const { return text_; }
    // "http" or "https", in lower case.
    const std::string& scheme() const { return scheme_; }
    // As written, without the brackets of an IPv6 literal.
    const std::string& host() const { return host_; }
    int port() const { return port_; }
    bool hasExplicitPort() const { return explicitPort_; }
    // Percent-escapes decoded.
    std::string user() const;
    std::string password() const;
    bool hasUserInfo() const { return hasUserInfo_; }
    // Path and query, "/" when the address has none; no fragment.
    const std::string& target() const { return target_; }
    bool isIpv6() const { return ipv6_; }

    // The address to connect to: no user, no fragment, blanks and other
    // unsafe bytes percent-escaped.
    std::string forRequest() const;
    // The text as given, a password shown as "***".
    std::string display() const;

    // The same scheme, host (in any case) and port: where a password written
    // for one may go.
    bool sameOrigin(const Url& other) const;

    bool operator==(const Url& other) const { return forRequest() == other.forRequest(); }

private:
    std::string text_;
    std::string scheme_;
    std::string host_;
    std::string rawUser_;
    std::string rawPassword_;
    std::string target_;
    // Where the password sits in text_, for display().
    std::size_t passwordAt_ = std::string::npos;
    int port_ = 0;
    bool explicitPort_ = false;
    bool hasUserInfo_ = false;
    bool ipv6_ = false;
};

}  // namespace tandu::net
