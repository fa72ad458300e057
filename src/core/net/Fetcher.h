#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/AnswerHead.h"
#include "net/Url.h"

namespace tandu::net {

// What the browser that handed a link over would send with it.
struct BrowserSession {
    // The page the link was on, and the browser's User-Agent.
    std::string referrer;
    std::string userAgent;
    // "a=1; b=2": the browser's cookies for `cookieUrl`, which go only to its
    // host (and, from an https address, only over https), as the browser's would.
    std::string cookies;
    std::optional<Url> cookieUrl;

    bool empty() const { return referrer.empty() && userAgent.empty() && cookies.empty(); }
};

// The fetches of one download: together they take at most the group's limit,
// and all groups together at most the fetcher's overall limit, shared fairly
// between the groups and between the fetches of each.
class RateGroup {
public:
    virtual ~RateGroup() = default;
    // Bytes a second, 0 for none; running fetches follow it at once.
    virtual void setLimit(std::int64_t bytesPerSecond) = 0;
    // A limit held the group's fetches back lately: their speed says nothing
    // about the path.
    virtual bool held() const = 0;
};

struct FetchRequest {
    enum class Kind {
        // A HEAD request: only the answer's head.
        Head,
        // A GET, of `range` when one is given.
        Get,
        // Only connect (and secure the connection); ends without a request.
        Connect,
    };
    // Bytes first..last, both counted from 0 and included; no last: to the end.
    struct Range {
        std::int64_t first = 0;
        std::optional<std::int64_t> last;
    };

    Url url;
    Kind kind = Kind::Get;
    std::optional<Range> range;
    // Up to 10 hops, never from https to http.
    bool followRedirects = false;
    // The address whose user and password go with every request to its own
    // scheme, host and port (a download's address as added); none: `url`.
    std::optional<Url> credentialsFrom;
    // The limit the body shares; none: only the overall limit.
    std::shared_ptr<RateGroup> rateGroup;
    BrowserSession session;
};

struct FetchFailure {
    enum class Kind {
        HostNotFound,
        Refused,
        // Connected, then no byte for too long.
        Timeout,
        // Reset or closed before the answer was whole.
        Broken,
        Certificate,
        Redirect,
        BadAnswer,
        Other,
    };
    // Worth trying again later.
    bool retryable() const {
        return kind == Kind::Refused || kind == Kind::Timeout || kind == Kind::Broken;
    }

    Kind kind = Kind::Other;
    // For the user, without any password.
    std::string message;
};

// The events of one fetch, in this order: onHead once (not for Connect), onBody
// any number of times, then onEnd or onFailure. A handler may destroy the
// fetch (no event follows then), start or stop others, or run a nested loop.
struct FetchHandlers {
    std::function<void(const AnswerHead&)> onHead;
    // Bytes of the body in order, in chunks of a bounded size.
    std::function<void(std::string_view)> onBody;
    std::function<void()> onEnd;
    std::function<void(const FetchFailure&)> onFailure;
};

// One running fetch; destroying it stops the fetch.
class Fetch {
public:
    virtual ~Fetch() = default;
};

class Fetcher {
public:
    virtual ~Fetcher() = default;
    // No event arrives before this returns.
    virtual std::unique_ptr<Fetch> start(const FetchRequest& request, FetchHandlers handlers) = 0;

    // A group for fetches that share a limit; a fetcher that cannot limit
    // gives one that never holds anything back.
    virtual std::shared_ptr<RateGroup> makeRateGroup();
    // Bytes a second for all fetches together, 0 for none.
    virtual void setOverallLimit(std::int64_t /*bytesPerSecond*/) {}
};

inline std::shared_ptr<RateGroup> Fetcher::makeRateGroup() {
    struct Unlimited : RateGroup {
        void setLimit(std::int64_t) override {}
        bool held() const override { return false; }
    };
    return std::make_shared<Unlimited>();
}

}  // namespace tandu::net
