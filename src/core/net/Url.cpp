#include "net/Url.h"

#include <algorithm>
#include <cctype>

#include "net/PercentDecoding.h"

namespace tandu::net {

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;
constexpr int kMaxPort = 65535;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string percentEscaped(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
            c == '`' || c == '{' || c == '|' || c == '}') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool validHostName(std::string_view host) {
    return std::all_of(host.begin(), host.end(), [](unsigned char c) {
        // Bytes above 127: an international name, left to the resolver.
        return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c >= 0x80;
    });
}

bool validIpv6(std::string_view host) {
    return host.find(':') != std::string_view::npos &&
           std::all_of(host.begin(), host.end(),
                       [](unsigned char c) { return std::isxdigit(c) || c == ':' || c == '.'; });
}

bool fail(Url::Error* error, Url::Error::Kind kind, std::string message) {
    if (error) {
        *error = {kind, std::move(message)};
    }
    return false;
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text, Error* error) {
    using Kind = Error::Kind;
    Url url;
    url.text_ = std::string(text);
    if (std::any_of(text.begin(), text.end(), [](char c) {
            return !isBlank(c) && isControl(static_cast<unsigned char>(c));
        })) {
        fail(error, Kind::Malformed, "The address holds a control character.");
        return std::nullopt;
    }
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    const std::string_view whole = text.substr(begin, end - begin);
    const std::size_t schemeEnd = whole.find("://");
    const std::string_view scheme =
        schemeEnd == std::string_view::npos ? std::string_view() : whole.substr(0, schemeEnd);
    if (scheme.empty() || !std::all_of(scheme.begin(), scheme.end(), [](unsigned char c) {
            return std::isalnum(c) || c == '+' || c == '-' || c == '.';
        })) {
        fail(error, Kind::Malformed, "Not a web address: it must start with http:// or https://.");
        return std::nullopt;
    }
    url.scheme_ = lower(scheme);
    if (url.scheme_ != "http" && url.scheme_ != "https") {
        fail(error, Kind::UnknownScheme,
             "Links starting with " + url.scheme_ +
                 ":// cannot be downloaded; only http:// and "
                 "https:// can.");
        return std::nullopt;
    }
    const std::size_t authorityAt = schemeEnd + 3;
    std::size_t authorityEnd = whole.find_first_of("/?#", authorityAt);
    if (authorityEnd == std::string_view::npos) {
        authorityEnd = whole.size();
    }
    std::string_view authority = whole.substr(authorityAt, authorityEnd - authorityAt);
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        url.hasUserInfo_ = true;
        url.rawUser_ = std::string(userInfo.substr(0, colon));
        if (colon != std::string_view::npos) {
            url.rawPassword_ = std::string(userInfo.substr(colon + 1));
            url.passwordAt_ = begin + authorityAt + colon + 1;
        }
        authority.remove_prefix(at + 1);
    }
    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos || !validIpv6(authority.substr(1, close - 1))) {
            fail(error, Kind::Malformed, "The address has a malformed IPv6 host.");
            return std::nullopt;
        }
        url.host_ = std::string(authority.substr(1, close - 1));
        url.ipv6_ = true;
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            fail(error, Kind::Malformed, "The address has a malformed IPv6 host.");
            return std::nullopt;
        }
        portText = rest.empty() ? rest : rest.substr(1);
        url.explicitPort_ = !rest.empty();
    } else {
        const std::size_t colon = authority.find(':');
        url.host_ = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            portText = authority.substr(colon + 1);
            url.explicitPort_ = true;
        }
        if (url.host_.empty() || !validHostName(url.host_)) {
            fail(error, Kind::Malformed, "The address has no valid host name.");
            return std::nullopt;
        }
    }
    url.port_ = url.scheme_ == "https" ? kHttpsPort : kHttpPort;
    if (!portText.empty()) {
        if (portText.size() > 5 || !std::all_of(portText.begin(), portText.end(),
                                                [](unsigned char c) { return std::isdigit(c); })) {
            fail(error, Kind::Malformed, "The address has a malformed port.");
            return std::nullopt;
        }
        url.port_ = std::stoi(std::string(portText));
        if (url.port_ < 1 || url.port_ > kMaxPort) {
            fail(error, Kind::Malformed, "The address has a port outside 1 to 65535.");
            return std::nullopt;
        }
    }
    std::string_view target = whole.substr(authorityEnd);
    target = target.substr(0, target.find('#'));
    url.target_ =
        target.empty() || target.front() != '/' ? "/" + std::string(target) : std::string(target);
    return url;
}

bool Url::sameOrigin(const Url& other) const {
    return scheme_ == other.scheme_ && port_ == other.port_ && lower(host_) == lower(other.host_);
}

std::string Url::user() const {
    return percentDecoded(rawUser_);
}

std::string Url::password() const {
    return percentDecoded(rawPassword_);
}

std::string Url::forRequest() const {
    std::string out = scheme_ + "://";
    out += ipv6_ ? "[" + host_ + "]" : host_;
    if (explicitPort_) {
        out += ":" + std::to_string(port_);
    }
    return out + percentEscaped(target_);
}

std::string Url::display() const {
    if (passwordAt_ == std::string::npos) {
        return text_;
    }
    return text_.substr(0, passwordAt_) + "***" + text_.substr(passwordAt_ + rawPassword_.size());
}

}  // namespace tandu::net
