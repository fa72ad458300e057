#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/Fetcher.h"
#include "net/IoWatcher.h"

namespace tandu {

class CurlTransfer;

// Fetches on libcurl's multi interface, driven by the front-end's event loop.
// Every event reaches its handlers from the loop, outside libcurl, so a
// handler may do anything, even run a modal loop. Fetches must end before
// the fetcher does.
class CurlFetcher : public net::Fetcher {
public:
    struct Options {
        // No byte for this long: the connection counts as broken.
        std::chrono::seconds stallTimeout{30};
        std::chrono::seconds connectTimeout{30};
        // The most one read takes from a connection.
        long chunkSize = 512 * 1024;
        // The most a transfer holds for its handlers before libcurl must wait;
        // also the most one onBody hands over.
        std::size_t heldLimit = 1024 * 1024;
        // Certificates to trust instead of the system's (SSL_CERT_FILE, SSL_CERT_DIR).
        std::string caFile;
        std::string caDir;
        // "HOST:PORT:ADDRESS:PORT": connect elsewhere, the request unchanged.
        std::vector<std::string> connectTo;

        static Options fromEnvironment();
    };

    explicit CurlFetcher(net::IoWatcher& watcher, Options options = Options::fromEnvironment());
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher&) = delete;
    CurlFetcher& operator=(const CurlFetcher&) = delete;

    std::unique_ptr<net::Fetch> start(const net::FetchRequest& request,
                                      net::FetchHandlers handlers) override;

    // Changes apply to the fetches started after them.
    Options& options() { return options_; }

    // For CurlTransfer.
    void add(void* easy);
    void remove(void* easy);
    // The transfer has something for its handlers.
    void ready(CurlTransfer& transfer);
    void forget(CurlTransfer& transfer);
    // From libcurl: what to watch on a socket, when to call it again.
    void socketChanged(int fd, int what);
    void timerChanged(long milliseconds);

private:
    void act(int fd, int events);
    void deliver();

    net::IoWatcher& watcher_;
    Options options_;
    void* multi_;
    std::deque<CurlTransfer*> ready_;
};

}  // namespace tandu
