#include "transfer/AnnouncedDigest.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tandu {

namespace {

std::optional<std::string> fromBase64(std::string_view text) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    while (!text.empty() && text.back() == '=') {
        text.remove_suffix(1);
    }
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return bytes;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<HashAlgorithm> algorithmOf(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (c != '-') {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (key == "sha512") {
        return HashAlgorithm::Sha512;
    }
    if (key == "sha256") {
        return HashAlgorithm::Sha256;
    }
    if (key == "sha") {
        return HashAlgorithm::Sha1;
    }
    if (key == "md5") {
        return HashAlgorithm::Md5;
    }
    return std::nullopt;
}

int strength(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::Sha512:
            return 4;
        case HashAlgorithm::Sha256:
            return 3;
        case HashAlgorithm::Sha1:
            return 2;
        case HashAlgorithm::Md5:
            break;
    }
    return 1;
}

// The strongest usable member of one header's list.
std::optional<Checksum> strongest(std::string_view value, bool colons) {
    std::optional<Checksum> best;
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        std::string_view member = value.substr(0, comma);
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
        member = trimmed(member.substr(0, member.find(';')));
        const std::size_t equals = member.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const auto algorithm = algorithmOf(trimmed(member.substr(0, equals)));
        std::string_view digest = trimmed(member.substr(equals + 1));
        if (colons) {
            if (digest.size() < 2 || digest.front() != ':' || digest.back() != ':') {
                continue;
            }
            digest = digest.substr(1, digest.size() - 2);
        }
        const auto bytes = fromBase64(digest);
        if (!algorithm || !bytes || bytes->size() * 2 != Checksum::hexLength(*algorithm)) {
            continue;
        }
        if (!best || strength(*algorithm) > strength(best->algorithm)) {
            best = Checksum::fromBytes(*algorithm, *bytes);
        }
    }
    return best;
}

std::optional<Checksum> fromHeaders(const net::AnswerHead& head, std::string_view name,
                                    bool colons) {
    std::optional<Checksum> best;
    for (const auto& [key, value] : head.headers) {
        if (key.size() != name.size() ||
            !std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            continue;
        }
        const auto found = strongest(value, colons);
        if (found && (!best || strength(found->algorithm) > strength(best->algorithm))) {
            best = found;
        }
    }
    return best;
}

}  // namespace

std::optional<Checksum> AnnouncedDigest(const net::AnswerHead& head) {
    if (auto repr = fromHeaders(head, "Repr-Digest", true)) {
        return repr;
    }
    return fromHeaders(head, "Digest", false);
}

}  // namespace tandu
