#include "CurlFetcher.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "CurlRateGroup.h"
#include "CurlTransfer.h"

namespace tandu {

namespace {

constexpr long kMostPerHost = 64;
constexpr long kMostInAll = 256;

CURLM* multiOf(void* multi) {
    return static_cast<CURLM*>(multi);
}

CurlRoute* routeOf(CURL* easy);

int onSocket(CURL* easy, curl_socket_t fd, int what, void* self, void* /*socketData*/) {
    if (CurlRoute* route = routeOf(easy); route && route->to && what != CURL_POLL_REMOVE) {
        route->to->noteSocket(fd);
    }
    static_cast<CurlFetcher*>(self)->socketChanged(fd, what);
    return 0;
}

int onTimer(CURLM* /*multi*/, long milliseconds, void* self) {
    static_cast<CurlFetcher*>(self)->timerChanged(milliseconds);
    return 0;
}

CurlRoute* routeOf(CURL* easy) {
    char* route = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, &route);
    return reinterpret_cast<CurlRoute*>(route);
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

CurlFetcher::Options CurlFetcher::Options::fromEnvironment() {
    Options options;
    options.caFile = environmentValue("SSL_CERT_FILE");
    options.caDir = environmentValue("SSL_CERT_DIR");
    options.http2 = environmentValue("TANDU_HTTP2") == "1";
    // Only for tests that cannot wait half a minute for each silence.
    if (const std::string stall = environmentValue("TANDU_STALL_SECONDS"); !stall.empty()) {
        const long seconds = std::strtol(stall.c_str(), nullptr, 10);
        if (seconds > 0 && seconds < options.stallTimeout.count()) {
            options.stallTimeout = options.connectTimeout = std::chrono::seconds(seconds);
        }
    }
    return options;
}

CurlFetcher::CurlFetcher(net::IoWatcher& watcher, Options options)
    : watcher_(watcher), options_(std::move(options)) {
    static const CURLcode global = curl_global_init(CURL_GLOBAL_DEFAULT);
    multi_ = global == CURLE_OK ? curl_multi_init() : nullptr;
    share_ = multi_ ? curl_share_init() : nullptr;
    if (!multi_ || !share_) {
        curl_multi_cleanup(multiOf(multi_));
        throw std::runtime_error("The network library could not start.");
    }
    // One thread: the share needs no locks.
    curl_share_setopt(static_cast<CURLSH*>(share_), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(static_cast<CURLSH*>(share_), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    // A download has at most 16 connections; several downloads from one host
    // share these, and what waits beyond them goes out as connections free up.
    curl_multi_setopt(multiOf(multi_), CURLMOPT_MAX_HOST_CONNECTIONS, kMostPerHost);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_MAX_TOTAL_CONNECTIONS, kMostInAll);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_MAXCONNECTS, kMostPerHost);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_SOCKETFUNCTION, &onSocket);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_TIMERFUNCTION, &onTimer);
    curl_multi_setopt(multiOf(multi_), CURLMOPT_TIMERDATA, this);
    shaper_->onWakeChanged = [this] { armTimer(); };
}

CurlFetcher::~CurlFetcher() {
    shaper_->onWakeChanged = nullptr;
    watcher_.stopTimer();
    settle();
    curl_multi_cleanup(multiOf(multi_));
    curl_share_cleanup(static_cast<CURLSH*>(share_));
}

std::unique_ptr<net::Fetch> CurlFetcher::start(const net::FetchRequest& request,
                                               net::FetchHandlers handlers) {
    return std::make_unique<CurlTransfer>(*this, request, std::move(handlers));
}

std::shared_ptr<net::RateGroup> CurlFetcher::makeRateGroup() {
    return std::make_shared<CurlRateGroup>(shaper_);
}

void CurlFetcher::setOverallLimit(std::int64_t bytesPerSecond) {
    shaper_->setOverallLimit(bytesPerSecond);
}

void CurlFetcher::add(void* easy) {
    if (busy()) {
        pendingAdds_.push_back(easy);
    } else if (curl_multi_add_handle(multiOf(multi_), static_cast<CURL*>(easy)) != CURLM_OK) {
        throw std::runtime_error("The network library refused a transfer.");
    }
}

void CurlFetcher::retire(void* easy, std::unique_ptr<CurlRoute> route, std::vector<void*> lists) {
    route->to = nullptr;  // libcurl may still call it before it returns
    pendingAdds_.erase(std::remove(pendingAdds_.begin(), pendingAdds_.end(), easy),
                       pendingAdds_.end());
    retired_.push_back({easy, std::move(route), std::move(lists)});
    if (!busy()) {
        settle();
    }
}

void CurlFetcher::leave() {
    if (--depth_ == 0) {
        settle();
    }
}

void CurlFetcher::settle() {
    std::vector<Retired> retired;
    retired.swap(retired_);
    for (Retired& gone : retired) {
        curl_multi_remove_handle(multiOf(multi_), static_cast<CURL*>(gone.easy));
        curl_easy_cleanup(static_cast<CURL*>(gone.easy));
        for (void* list : gone.lists) {
            curl_slist_free_all(static_cast<curl_slist*>(list));
        }
    }
    std::vector<void*> adds;
    adds.swap(pendingAdds_);
    for (void* easy : adds) {
        if (curl_multi_add_handle(multiOf(multi_), static_cast<CURL*>(easy)) != CURLM_OK) {
            if (CurlRoute* route = routeOf(easy); route && route->to) {
                route->to->finished(CURLE_FAILED_INIT);
            }
        }
    }
    std::set<int> held;
    held.swap(held_);
    for (int fd : held) {
        if (const auto wanted = wanted_.find(fd); wanted != wanted_.end()) {
            watchFor(fd, wanted->second);  // still ready: the watch fires again
        }
    }
    if (timerHeld_) {
        timerHeld_ = false;
        armTimer();
    }
}

void CurlFetcher::ready(CurlTransfer& transfer) {
    if (std::find(ready_.begin(), ready_.end(), &transfer) == ready_.end()) {
        ready_.push_back(&transfer);
    }
}

void CurlFetcher::forget(CurlTransfer& transfer) {
    ready_.erase(std::remove(ready_.begin(), ready_.end(), &transfer), ready_.end());
}

void CurlFetcher::socketChanged(int fd, int what) {
    if (what == CURL_POLL_REMOVE) {
        wanted_.erase(fd);
        held_.erase(fd);
        watcher_.watch(fd, net::IoWatcher::None, {});
        return;
    }
    wanted_[fd] = what;
    if (!held_.count(fd)) {
        watchFor(fd, what);
    }
}

void CurlFetcher::watchFor(int fd, int what) {
    unsigned events = 0;
    if (what == CURL_POLL_IN || what == CURL_POLL_INOUT) {
        events |= net::IoWatcher::Readable;
    }
    if (what == CURL_POLL_OUT || what == CURL_POLL_INOUT) {
        events |= net::IoWatcher::Writable;
    }
    watcher_.watch(fd, events, [this](int readyFd, unsigned ready) {
        int bits = 0;
        bits |= (ready & net::IoWatcher::Readable) ? CURL_CSELECT_IN : 0;
        bits |= (ready & net::IoWatcher::Writable) ? CURL_CSELECT_OUT : 0;
        bits |= (ready & net::IoWatcher::Failed) ? CURL_CSELECT_ERR : 0;
        act(readyFd, bits);
    });
}

void CurlFetcher::timerChanged(long milliseconds) {
    if (milliseconds < 0) {
        timerDue_.reset();
    } else {
        timerDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    }
    armTimer();
}

void CurlFetcher::armTimer() {
    if (timerHeld_) {
        return;  // settle() arms it once libcurl has returned
    }
    std::optional<std::chrono::steady_clock::time_point> due = timerDue_;
    if (const auto wake = shaper_->nextWake(); wake && (!due || *wake < *due)) {
        due = wake;
    }
    if (!due) {
        watcher_.stopTimer();
        return;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        *due - std::chrono::steady_clock::now());
    watcher_.startTimer(std::max(left, std::chrono::milliseconds(0)), [this] { timerFired(); });
}

void CurlFetcher::timerFired() {
    if (busy()) {
        // A loop nested in a handler: this waits until libcurl has returned.
        timerHeld_ = true;
        return;
    }
    const auto wake = shaper_->nextWake();
    const auto now = std::chrono::steady_clock::now();  // not before: "now" may be due
    if (wake && *wake <= now) {
        shaper_->wake();
    }
    if (timerDue_ && *timerDue_ <= now) {
        timerDue_.reset();  // libcurl sets its next one if it wants one
        act(CURL_SOCKET_TIMEOUT, 0);
    }
    armTimer();
}

void CurlFetcher::act(int fd, int events) {
    if (busy()) {
        // A loop nested in a handler: this waits until libcurl has returned.
        held_.insert(fd);
        watcher_.watch(fd, net::IoWatcher::None, {});
        return;
    }
    inside([&] {
        int running = 0;
        curl_multi_socket_action(multiOf(multi_), fd, events, &running);
    });
    // Finished handles leave the multi before their handlers hear of it.
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multiOf(multi_), &left)) {
        if (message->msg != CURLMSG_DONE) {
            continue;
        }
        CURL* easy = message->easy_handle;
        const CURLcode result = message->data.result;
        CurlRoute* route = routeOf(easy);
        if (!route || !route->to) {
            continue;  // retired: settle() removes it
        }
        curl_multi_remove_handle(multiOf(multi_), easy);
        route->to->finished(result);
    }
    deliver();
}

void CurlFetcher::deliver() {
    // A handler may start or stop fetches, or run a nested loop that
    // comes back here: take one transfer at a time.
    while (!ready_.empty()) {
        CurlTransfer* transfer = ready_.front();
        ready_.pop_front();
        transfer->deliver();
    }
}

}  // namespace tandu
