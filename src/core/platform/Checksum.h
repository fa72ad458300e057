#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tandu {

enum class HashAlgorithm { Sha256, Sha512, Sha1, Md5 };

// What a file must hash to: an algorithm and its digest in lower-case hex.
struct Checksum {
    HashAlgorithm algorithm = HashAlgorithm::Sha256;
    std::string hex;

    // "sha256=HEX" (also sha512, sha1 and md5; "sha-256" and any case do as
    // well); nothing unless the digits fit the algorithm.
    static std::optional<Checksum> parse(std::string_view text);
    // The checksum a URL carries in its fragment ("...#sha256=HEX"), if any.
    static std::optional<Checksum> fromUrl(std::string_view url);
    // The URL without such a fragment; other URLs unchanged.
    static std::string withoutChecksumFragment(std::string_view url);
    // A digest as bytes (for instance from a server's header).
    static Checksum fromBytes(HashAlgorithm algorithm, std::string_view bytes);

    // "sha256=HEX", as stored and as parse() reads it.
    std::string text() const;
    // "SHA-256", for the user.
    const char* name() const;
    static std::size_t hexLength(HashAlgorithm algorithm);

    bool operator==(const Checksum&) const = default;
};

}  // namespace tandu
