#include "transfer/HttpRequests.h"

namespace tandu {

std::string ProbeRequest(const std::string& url) {
    return "HEAD " + url + " HTTP/1.0\r\n\r\n";
}

std::string RangeRequest(const std::string& url, std::int64_t first, std::int64_t last) {
    return "GET " + url + " HTTP/1.0\r\nRange: bytes=" + std::to_string(first) + "-" +
           std::to_string(last) + "\r\n\r\n";
}

}  // namespace tandu
