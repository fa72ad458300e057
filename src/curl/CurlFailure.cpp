#include "CurlFailure.h"

#include <curl/curl.h>

#include <cstring>

namespace tandu {

net::FetchFailure CurlFailure(int code, const std::string& detail, const std::string& where,
                              long stallSeconds, int osError) {
    using Kind = net::FetchFailure::Kind;
    const std::string reason =
        detail.empty() ? std::string(curl_easy_strerror(static_cast<CURLcode>(code))) : detail;
    switch (static_cast<CURLcode>(code)) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return {Kind::HostNotFound, "Host not found: " + where + "."};
        case CURLE_COULDNT_RESOLVE_PROXY:
            // The proxy comes from http_proxy or https_proxy: name it, not the host.
            return {Kind::HostNotFound, "The proxy for " + where + " was not found: " + reason};
        case CURLE_COULDNT_CONNECT:
            // libcurl's text names the address really dialled, not the one asked for.
            return {Kind::Refused, "Could not connect to " + where + ": " +
                                       (osError ? std::strerror(osError) : reason)};
        case CURLE_OPERATION_TIMEDOUT:
            return {Kind::Timeout, "No answer from " + where + " for " +
                                       std::to_string(stallSeconds) + " seconds."};
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return {Kind::Certificate,
                    "The secure connection to " + where + " was refused: " + reason};
        case CURLE_GOT_NOTHING:
            return {Kind::Broken, where + " closed the connection without an answer."};
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            return {Kind::Broken, "The connection to " + where + " broke: " + reason};
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_BAD_CONTENT_ENCODING:
        case CURLE_FILESIZE_EXCEEDED:
            return {Kind::BadAnswer, "Unusable answer from " + where + ": " + reason};
        default:
            return {Kind::Other, "Transfer from " + where + " failed: " + reason};
    }
}

}  // namespace tandu
