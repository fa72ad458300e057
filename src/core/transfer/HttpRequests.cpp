#include "transfer/HttpRequests.h"

namespace tandu {

namespace {
// The scan position of the original was a 16-bit value.
constexpr std::size_t kLongestUrl = 32767;
}  // namespace

std::string SplitHost(const std::string& url) {
    if (url.size() > kLongestUrl) {
        return {};
    }
    std::size_t hostStart = std::string::npos;
    int slashes = 0;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] != '/') {
            continue;
        }
        ++slashes;
        if (slashes == 2) {
            hostStart = i + 1;
        } else if (slashes == 3) {
            std::string host = url.substr(hostStart, i - hostStart);
            if (host.compare(0, 3, "www") == 0) {
                if (host.size() <= 4) {
                    return {};
                }
                host.erase(0, 4);
            }
            return host;
        }
    }
    return {};
}

bool UrlBreaksRequest(const std::string& url) {
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return true;
        }
    }
    return false;
}

std::string ProbeRequest(const std::string& url) {
    return "HEAD " + url + " HTTP/1.0\r\n\r\n";
}

std::string RangeRequest(const std::string& url, std::int64_t first, std::int64_t last) {
    return "GET " + url + " HTTP/1.0\r\nRange: bytes=" + std::to_string(first) + "-" +
           std::to_string(last) + "\r\n\r\n";
}

}  // namespace tandu
