#include "platform/Checksum.h"

#include <array>
#include <cctype>

namespace tandu {

namespace {

struct Known {
    HashAlgorithm algorithm;
    const char* key;
    const char* name;
    std::size_t hexLength;
};

constexpr std::array<Known, 4> kKnown{{
    {HashAlgorithm::Sha256, "sha256", "SHA-256", 64},
    {HashAlgorithm::Sha512, "sha512", "SHA-512", 128},
    {HashAlgorithm::Sha1, "sha1", "SHA-1", 40},
    {HashAlgorithm::Md5, "md5", "MD5", 32},
}};

const Known& known(HashAlgorithm algorithm) {
    for (const Known& k : kKnown) {
        if (k.algorithm == algorithm) {
            return k;
        }
    }
    return kKnown[0];
}

// "SHA-256" and "sha256" alike.
std::string keyOf(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (c != '-') {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

std::size_t fragmentStart(std::string_view url) {
    const std::size_t hash = url.find('#');
    if (hash == std::string_view::npos || !Checksum::parse(url.substr(hash + 1))) {
        return std::string_view::npos;
    }
    return hash;
}

}  // namespace

std::optional<Checksum> Checksum::parse(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string key = keyOf(text.substr(0, equals));
    const std::string_view digits = text.substr(equals + 1);
    for (const Known& k : kKnown) {
        if (key != k.key || digits.size() != k.hexLength) {
            continue;
        }
        Checksum checksum{k.algorithm, {}};
        for (char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) {
                return std::nullopt;
            }
            checksum.hex += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return checksum;
    }
    return std::nullopt;
}

std::optional<Checksum> Checksum::fromUrl(std::string_view url) {
    const std::size_t at = fragmentStart(url);
    return at == std::string_view::npos ? std::nullopt : parse(url.substr(at + 1));
}

std::string Checksum::withoutChecksumFragment(std::string_view url) {
    return std::string(url.substr(0, fragmentStart(url)));
}

Checksum Checksum::fromBytes(HashAlgorithm algorithm, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    Checksum checksum{algorithm, {}};
    for (unsigned char byte : bytes) {
        checksum.hex += kDigits[byte >> 4];
        checksum.hex += kDigits[byte & 15];
    }
    return checksum;
}

std::string Checksum::text() const {
    return std::string(known(algorithm).key) + "=" + hex;
}

const char* Checksum::name() const {
    return known(algorithm).name;
}

std::size_t Checksum::hexLength(HashAlgorithm algorithm) {
    return known(algorithm).hexLength;
}

}  // namespace tandu
