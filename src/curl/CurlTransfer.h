#pragma once

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "RateShaper.h"
#include "net/Fetcher.h"

namespace tandu {

class CurlFetcher;
class CurlTransfer;

// What libcurl's callbacks reach a transfer through; it outlives the transfer
// until libcurl lets go of the handle, pointing nowhere by then.
struct CurlRoute {
    CurlTransfer* to;
    char errorText[CURL_ERROR_SIZE] = {};
};

// One fetch on one easy handle, following redirects itself so that a
// password goes only where it belongs at each hop.
class CurlTransfer : public net::Fetch {
public:
    CurlTransfer(CurlFetcher& fetcher, net::FetchRequest request, net::FetchHandlers handlers);
    ~CurlTransfer() override;
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // libcurl finished the handle with this result.
    void finished(CURLcode result);
    // Hands what has arrived to the handlers; false when the transfer is gone.
    bool deliver();
    // The rate shaper lets it take bytes again.
    void resumeFromShaper();
    // libcurl watches this socket for it (the one its bytes come over).
    void noteSocket(int fd) { socket_ = fd; }

private:
    static std::size_t onHeaderLine(char* data, std::size_t size, std::size_t count, void* route);
    static std::size_t onBodyBytes(char* data, std::size_t size, std::size_t count, void* route);
    std::size_t headerLine(std::string_view line);
    std::size_t bodyBytes(std::string_view bytes);
    // A redirect to follow, or a failure; nothing when the head is the answer.
    bool judgeRedirect(const net::AnswerHead& head);
    void configure();
    void fail(net::FetchFailure::Kind kind, std::string message);
    // The kernel keeps only what the limit lets through in a moment, so that
    // the line, not just the program, sees the limit.
    void fitSocketBuffer();
    std::string where() const;

    CurlFetcher& fetcher_;
    net::FetchRequest request_;
    // Shared so a handler that ends the fetch does not end itself.
    std::shared_ptr<const net::FetchHandlers> handlers_;
    CURL* easy_;
    std::unique_ptr<CurlRoute> route_;
    curl_slist* headers_ = nullptr;
    curl_slist* connectTo_ = nullptr;
    // The address of the current hop, and those seen before it.
    net::Url url_;
    std::set<std::string> visited_;
    std::optional<net::Url> nextHop_;

    std::string rawHead_;
    bool headDone_ = false;
    // This hop's head is a redirect: its body is dropped.
    bool redirected_ = false;
    std::size_t dropped_ = 0;
    // Bytes the handlers have not taken yet; libcurl holds any after them.
    std::string body_;
    bool curlPaused_ = false;
    bool delivering_ = false;
    std::optional<net::FetchFailure> failure_;
    bool ended_ = false;
    bool reported_ = false;
    bool added_ = false;
    bool cookiesGiven_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Its place in the rate shaper, in a group of its own when the request named none.
    std::shared_ptr<net::RateGroup> ownGroup_;
    RateShaper::Id rateMember_ = 0;
    int socket_ = -1;
    int socketBuffer_ = 0;  // SO_RCVBUF set on the socket, 0: the system's own
};

}  // namespace tandu
