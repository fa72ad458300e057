#include "transfer/SplitHost.h"

namespace tandu {

namespace {
// The scan position was a 16-bit value: longer URLs never gave a host.
constexpr std::size_t kMaxUrlLength = 32767;
}  // namespace

std::string SplitHost(const std::string& url) {
    if (url.size() > kMaxUrlLength) {
        return {};
    }
    const std::size_t first = url.find('/');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t second = url.find('/', first + 1);
    if (second == std::string::npos) {
        return {};
    }
    const std::size_t third = url.find('/', second + 1);
    if (third == std::string::npos) {
        return {};
    }
    std::string host = url.substr(second + 1, third - second - 1);
    if (host.compare(0, 3, "www") == 0) {
        // "www" alone has no fourth character to drop: no host.
        if (host.size() < 4) {
            return {};
        }
        host.erase(0, 4);
    }
    return host;
}

}  // namespace tandu
