#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "RateShaper.h"
#include "net/Fetcher.h"
#include "net/IoWatcher.h"

namespace tandu {

class CurlTransfer;
struct CurlRoute;

// Fetches on libcurl's multi interface, driven by the front-end's event loop.
// The multi handle's cache keeps idle connections for the next request to
// the same host, whatever download makes it; a share handle keeps DNS
// answers and TLS sessions, so a new connection resumes the last session.
// Heads and body bytes reach their handlers straight from libcurl's reads, so
// no byte is copied on the way; ends, failures and bytes that came while a
// handler ran a nested loop reach them from the loop. While libcurl is inside
// a call, handles that come or go wait for it to return, so a handler may
// start or stop fetches, and a nested loop (a modal dialog) does not drive libcurl twice.
// Fetches must end before the fetcher does.
class CurlFetcher : public net::Fetcher {
public:
    struct Options {
        // Slower than the floor (no byte at all, or a trickle) for this long:
        // the connection counts as broken.
        std::chrono::seconds stallTimeout{30};
        long floorBytesPerSecond = 1024;
        std::chrono::seconds connectTimeout{30};
        // The most one read takes from a connection, and so the largest body chunk.
        long chunkSize = 512 * 1024;
        // Certificates to trust instead of the system's (SSL_CERT_FILE, SSL_CERT_DIR).
        std::string caFile;
        std::string caDir;
        // "HOST:PORT:ADDRESS:PORT": connect elsewhere, the request unchanged.
        std::vector<std::string> connectTo;
        // HTTP/2 where an https server offers it.
        bool http2 = false;

        static Options fromEnvironment();
    };

    explicit CurlFetcher(net::IoWatcher& watcher, Options options = Options::fromEnvironment());
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher&) = delete;
    CurlFetcher& operator=(const CurlFetcher&) = delete;

    std::unique_ptr<net::Fetch> start(const net::FetchRequest& request,
                                      net::FetchHandlers handlers) override;
    std::shared_ptr<net::RateGroup> makeRateGroup() override;
    void setOverallLimit(std::int64_t bytesPerSecond) override;

    // Changes apply to the fetches started after them.
    Options& options() { return options_; }

    // For CurlTransfer.
    bool busy() const { return depth_ > 0; }
    // DNS answers and TLS sessions every handle shares.
    void* share() const { return share_; }
    void add(void* easy);
    // Takes the handle over for good: cleaned up now, or once libcurl returns.
    void retire(void* easy, std::unique_ptr<CurlRoute> route, std::vector<void*> lists);
    // The transfer has something for its handlers outside libcurl.
    void ready(CurlTransfer& transfer);
    void forget(CurlTransfer& transfer);
    // Runs libcurl's `call` with handle changes held until it returns.
    template <class Call>
    auto inside(Call call) {
        ++depth_;
        struct Leave {
            CurlFetcher& fetcher;
            ~Leave() { fetcher.leave(); }
        } leave{*this};
        return call();
    }
    // From libcurl: what to watch on a socket, when to call it again.
    void socketChanged(int fd, int what);
    void timerChanged(long milliseconds);
    RateShaper& shaper() { return *shaper_; }

private:
    struct Retired {
        void* easy;
        std::unique_ptr<CurlRoute> route;
        std::vector<void*> lists;
    };

    void act(int fd, int events);
    void leave();
    void settle();
    void watchFor(int fd, int what);
    void deliver();
    // The one timer of the watcher serves libcurl and the rate shaper.
    void armTimer();
    void timerFired();

    net::IoWatcher& watcher_;
    Options options_;
    void* multi_;
    void* share_;
    std::deque<CurlTransfer*> ready_;
    int depth_ = 0;
    std::vector<void*> pendingAdds_;
    std::vector<Retired> retired_;
    // What libcurl wants watched, and what a nested loop found while libcurl was busy.
    std::map<int, int> wanted_;
    std::set<int> held_;
    bool timerHeld_ = false;
    std::optional<std::chrono::steady_clock::time_point> timerDue_;
    std::shared_ptr<RateShaper> shaper_ = std::make_shared<RateShaper>();
};

}  // namespace tandu
