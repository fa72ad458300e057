#include "CurlTransfer.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "CurlFailure.h"
#include "CurlFetcher.h"
#include "CurlRateGroup.h"

namespace tandu {

namespace {

constexpr int kMaxRedirects = 10;
// Past this, a redirect's body is not read to its end: the connection goes.
constexpr std::size_t kLongestRedirectBody = 64 * 1024;
constexpr std::array kRedirectStatuses{301, 302, 303, 307, 308};

// libcurl's resolution of a Location value against the address it came from.
std::optional<std::string> resolved(const std::string& base, const std::string& location) {
    CURLU* url = curl_url();
    std::optional<std::string> result;
    char* text = nullptr;
    if (curl_url_set(url, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK) {
        result = text;
    }
    curl_free(text);
    curl_url_cleanup(url);
    return result;
}

// The browser's cookies as libcurl's cookie engine takes them: one
// Netscape-format line each, for the exact host they were handed with (no
// subdomains, no other site), any path, session-long.
std::vector<std::string> cookieLines(const net::BrowserSession& session) {
    std::vector<std::string> lines;
    if (session.cookies.empty() || !session.cookieUrl) {
        return lines;
    }
    const std::string host = session.cookieUrl->host();
    const char* secure = session.cookieUrl->scheme() == "https" ? "TRUE" : "FALSE";
    std::string_view rest = session.cookies;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        std::string_view pair = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        while (!pair.empty() && pair.front() == ' ') {
            pair.remove_prefix(1);
        }
        const std::size_t equals = pair.find('=');
        if (equals == 0 || equals == std::string_view::npos) {
            continue;
        }
        lines.push_back(host + "\tFALSE\t/\t" + secure + "\t0\t" +
                        std::string(pair.substr(0, equals)) + "\t" +
                        std::string(pair.substr(equals + 1)));
    }
    return lines;
}

}  // namespace

CurlTransfer::CurlTransfer(CurlFetcher& fetcher, net::FetchRequest request,
                           net::FetchHandlers handlers)
    : fetcher_(fetcher),
      request_(std::move(request)),
      handlers_(std::make_shared<const net::FetchHandlers>(std::move(handlers))),
      easy_(curl_easy_init()),
      route_(std::make_unique<CurlRoute>()),
      url_(request_.url) {
    route_->to = this;
    visited_.insert(url_.forRequest());
    auto* group = dynamic_cast<CurlRateGroup*>(request_.rateGroup.get());
    if (group == nullptr) {
        ownGroup_ = fetcher_.makeRateGroup();
        group = static_cast<CurlRateGroup*>(ownGroup_.get());
    }
    rateMember_ = fetcher_.shaper().join(group->id(), [this] { resumeFromShaper(); });
    configure();
    fetcher_.add(easy_);
    added_ = true;
}

CurlTransfer::~CurlTransfer() {
    *alive_ = false;
    fetcher_.shaper().leave(rateMember_);
    fetcher_.forget(*this);
    fetcher_.retire(easy_, std::move(route_), {headers_, connectTo_});
}

void CurlTransfer::configure() {
    curl_easy_reset(easy_);
    redirected_ = false;
    dropped_ = 0;
    curl_slist_free_all(headers_);
    curl_slist_free_all(connectTo_);
    headers_ = nullptr;
    connectTo_ = nullptr;
    const CurlFetcher::Options& options = fetcher_.options();
    curl_easy_setopt(easy_, CURLOPT_PRIVATE, route_.get());
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, route_->errorText);
    curl_easy_setopt(easy_, CURLOPT_URL, url_.forRequest().c_str());
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT,
                     static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, options.floorBytesPerSecond);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME,
                     static_cast<long>(options.stallTimeout.count()));
    curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, options.chunkSize);
    curl_easy_setopt(easy_, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeaderLine);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, route_.get());
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBodyBytes);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, route_.get());
    if (!options.caFile.empty()) {
        curl_easy_setopt(easy_, CURLOPT_CAINFO, options.caFile.c_str());
    }
    if (!options.caDir.empty()) {
        curl_easy_setopt(easy_, CURLOPT_CAPATH, options.caDir.c_str());
    }
    for (const std::string& entry : options.connectTo) {
        connectTo_ = curl_slist_append(connectTo_, entry.c_str());
    }
    curl_easy_setopt(easy_, CURLOPT_CONNECT_TO, connectTo_);

    // Every address gets the same request form: HTTP/1.1 (or HTTP/2 where
    // an https server offers it) with Host and User-Agent, on a connection
    // that stays open for the next request; no encoding, since the bytes go
    // into the file where they belong.
    const net::BrowserSession& session = request_.session;
    curl_easy_setopt(easy_, CURLOPT_SHARE, fetcher_.share());
    curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION,
                     options.http2 ? CURL_HTTP_VERSION_2TLS : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(easy_, CURLOPT_PIPEWAIT, 1L);
    curl_easy_setopt(easy_, CURLOPT_USERAGENT,
                     session.userAgent.empty() ? "Tandu/1.0" : session.userAgent.c_str());
    headers_ = curl_slist_append(headers_, "Accept-Encoding: identity");
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
    // As a browser: no https page is named to a plain http address.
    if (!session.referrer.empty() &&
        !(url_.scheme() == "http" && session.referrer.starts_with("https:"))) {
        curl_easy_setopt(easy_, CURLOPT_REFERER, session.referrer.c_str());
    }
    // A password goes only to the scheme, host and port it was written for.
    const net::Url& owner = request_.credentialsFrom ? *request_.credentialsFrom : request_.url;
    const net::Url* credentials = url_.hasUserInfo()                              ? &url_
                                  : owner.hasUserInfo() && owner.sameOrigin(url_) ? &owner
                                                                                  : nullptr;
    if (credentials) {
        curl_easy_setopt(easy_, CURLOPT_USERNAME, credentials->user().c_str());
        curl_easy_setopt(easy_, CURLOPT_PASSWORD, credentials->password().c_str());
    }
    // Given once, the cookies start the handle's cookie engine, which keeps
    // them from hop to hop (a reset leaves them) and sends each only where it
    // belongs. No cookie file: one named to a handle that is reset leaks.
    if (!session.cookies.empty() && !cookiesGiven_) {
        cookiesGiven_ = true;
        for (const std::string& line : cookieLines(session)) {
            curl_easy_setopt(easy_, CURLOPT_COOKIELIST, line.c_str());
        }
    }
    switch (request_.kind) {
        case net::FetchRequest::Kind::Head:
            curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
            break;
        case net::FetchRequest::Kind::Connect:
            curl_easy_setopt(easy_, CURLOPT_CONNECT_ONLY, 1L);
            break;
        case net::FetchRequest::Kind::Get:
            if (request_.range) {
                std::string range = std::to_string(request_.range->first) + "-";
                if (request_.range->last) {
                    range += std::to_string(*request_.range->last);
                }
                curl_easy_setopt(easy_, CURLOPT_RANGE, range.c_str());
            }
            break;
    }
}

// A transfer gone meanwhile takes nothing more, which ends its handle.
std::size_t CurlTransfer::onHeaderLine(char* data, std::size_t size, std::size_t count,
                                       void* route) {
    CurlTransfer* to = static_cast<CurlRoute*>(route)->to;
    return to ? to->headerLine(std::string_view(data, size * count)) : 0;
}

std::size_t CurlTransfer::onBodyBytes(char* data, std::size_t size, std::size_t count,
                                      void* route) {
    CurlTransfer* to = static_cast<CurlRoute*>(route)->to;
    return to ? to->bodyBytes(std::string_view(data, size * count)) : 0;
}

std::size_t CurlTransfer::headerLine(std::string_view line) {
    if (headDone_) {
        return line.size();  // trailers of a chunked body
    }
    rawHead_ += line;
    if (line != "\r\n" && line != "\n") {
        return line.size();
    }
    net::AnswerHead head = net::AnswerHead::parse(rawHead_, url_);
    rawHead_.clear();
    if (head.status >= 100 && head.status < 200) {
        return line.size();
    }
    if (request_.followRedirects && judgeRedirect(head)) {
        // The hop's short body is read and dropped, so that its connection
        // stays open for the next hop; finished() takes that one.
        redirected_ = true;
        return failure_ ? 0 : line.size();
    }
    headDone_ = true;
    const std::shared_ptr<const net::FetchHandlers> handlers = handlers_;
    if (handlers->onHead) {
        handlers->onHead(head);
    }
    // A fetch ended by its handler ends with the first body byte; one without
    // a body ends cleanly and leaves its connection for the next request.
    return line.size();
}

bool CurlTransfer::judgeRedirect(const net::AnswerHead& head) {
    const auto location = head.header("Location");
    if (!location || std::find(kRedirectStatuses.begin(), kRedirectStatuses.end(), head.status) ==
                         kRedirectStatuses.end()) {
        return false;
    }
    using Kind = net::FetchFailure::Kind;
    const auto target = resolved(url_.forRequest(), *location);
    net::Url::Error error;
    const auto next = target ? net::Url::parse(*target, &error) : std::nullopt;
    if (!next) {
        fail(Kind::Redirect, "The server redirected to an address that cannot be downloaded" +
                                 (target ? ": " + error.message : std::string(".")));
    } else if (url_.scheme() == "https" && next->scheme() == "http") {
        fail(Kind::Redirect, "Refused a redirect from https to http (" + next->display() +
                                 "): the download would not be encrypted.");
    } else if (visited_.count(next->forRequest())) {
        fail(Kind::Redirect, "The server redirects in a loop (" + next->display() + ").");
    } else if (static_cast<int>(visited_.size()) > kMaxRedirects) {
        fail(Kind::Redirect, "More than " + std::to_string(kMaxRedirects) + " redirects from " +
                                 request_.url.display() + ".");
    } else {
        nextHop_ = next;
    }
    return true;
}

std::size_t CurlTransfer::bodyBytes(std::string_view bytes) {
    if (redirected_) {
        dropped_ += bytes.size();
        return dropped_ <= kLongestRedirectBody ? bytes.size() : 0;
    }
    if (!body_.empty()) {
        curlPaused_ = true;  // libcurl keeps these until the held ones are taken
        return CURL_WRITEFUNC_PAUSE;
    }
    if (!fetcher_.shaper().mayTake(rateMember_)) {
        fitSocketBuffer();
        curlPaused_ = true;  // a speed limit: the shaper resumes it
        return CURL_WRITEFUNC_PAUSE;
    }
    fetcher_.shaper().took(rateMember_, bytes.size());
    if (delivering_) {
        // A loop nested in the handler: these wait until it returns.
        body_.assign(bytes);
        fetcher_.ready(*this);
        return bytes.size();
    }
    const std::shared_ptr<bool> alive = alive_;
    const std::shared_ptr<const net::FetchHandlers> handlers = handlers_;
    delivering_ = true;
    if (handlers->onBody) {
        handlers->onBody(bytes);
    }
    if (!*alive) {
        // Taken, though the fetch ended: when they were the last of the
        // answer, its connection stays for the next request.
        return bytes.size();
    }
    delivering_ = false;
    return bytes.size();
}

namespace {
constexpr double kMoment = 0.25;  // seconds of a limit the kernel may hold
constexpr int kLeast = 16 * 1024;
// As much as the system lets a program ask for (net.core.rmem_max).
constexpr int kMost = 4 * 1024 * 1024;
}  // namespace

void CurlTransfer::fitSocketBuffer() {
    const auto rate = fetcher_.shaper().memberRate(rateMember_);
    const int wanted =
        rate ? static_cast<int>(std::clamp(*rate * kMoment, double{kLeast}, double{kMost})) : kMost;
    if (socketBuffer_ != 0 ? std::abs(wanted - socketBuffer_) * 2 < socketBuffer_ : !rate) {
        return;  // close enough; without a limit the system's own sizing stays
    }
    if (socket_ >= 0 && ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted) == 0) {
        socketBuffer_ = wanted;
    }
}

void CurlTransfer::resumeFromShaper() {
    // Held bytes of a nested loop go first; deliver() resumes it after them.
    if (!curlPaused_ || !body_.empty() || delivering_ || !added_) {
        return;
    }
    fitSocketBuffer();  // a limit lifted or raised meanwhile wants more room
    curlPaused_ = false;
    // May hand over what libcurl kept at once, and end the transfer.
    fetcher_.inside([this] { curl_easy_pause(easy_, CURLPAUSE_CONT); });
}

void CurlTransfer::fail(net::FetchFailure::Kind kind, std::string message) {
    if (!failure_) {
        failure_ = net::FetchFailure{kind, std::move(message)};
    }
}

std::string CurlTransfer::where() const {
    return (url_.isIpv6() ? "[" + url_.host() + "]" : url_.host()) + ":" +
           std::to_string(url_.port());
}

void CurlTransfer::finished(CURLcode result) {
    added_ = false;
    if (socketBuffer_ != 0) {
        // The connection may serve another fetch now: it gets room again.
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &kMost, sizeof kMost);
        socketBuffer_ = 0;
    }
    socket_ = -1;
    if (nextHop_ && !failure_) {
        url_ = *nextHop_;
        nextHop_.reset();
        visited_.insert(url_.forRequest());
        configure();
        fetcher_.add(easy_);
        added_ = true;
        return;
    }
    if (result != CURLE_OK && !failure_) {
        long osError = 0;
        curl_easy_getinfo(easy_, CURLINFO_OS_ERRNO, &osError);
        failure_ = CurlFailure(result, route_->errorText, where(),
                               static_cast<long>(fetcher_.options().stallTimeout.count()),
                               static_cast<int>(osError));
        if (result == CURLE_OPERATION_TIMEDOUT && headDone_) {
            failure_->message = "The connection to " + where() + " brought less than " +
                                std::to_string(fetcher_.options().floorBytesPerSecond / 1024) +
                                " KB/s for " +
                                std::to_string(fetcher_.options().stallTimeout.count()) +
                                " seconds.";
        }
    }
    ended_ = true;
    fetcher_.ready(*this);
}

bool CurlTransfer::deliver() {
    if (delivering_ || reported_) {
        return true;
    }
    const std::shared_ptr<bool> alive = alive_;
    const std::shared_ptr<const net::FetchHandlers> handlers = handlers_;
    delivering_ = true;
    while (!body_.empty()) {
        if (handlers->onBody) {
            handlers->onBody(body_);
        }
        if (!*alive) {
            return false;
        }
        body_.clear();
        if (curlPaused_) {
            curlPaused_ = false;
            // May hand over what libcurl kept at once, into body_.
            fetcher_.inside([this] { curl_easy_pause(easy_, CURLPAUSE_CONT); });
            if (!*alive) {
                return false;
            }
        }
    }
    delivering_ = false;
    if (body_.empty() && ended_) {
        reported_ = true;
        if (failure_) {
            if (handlers->onFailure) {
                const net::FetchFailure failure = *failure_;
                handlers->onFailure(failure);
            }
        } else if (handlers->onEnd) {
            handlers->onEnd();
        }
        return *alive;
    }
    return true;
}

}  // namespace tandu
