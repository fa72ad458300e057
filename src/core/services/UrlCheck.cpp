#include "services/UrlCheck.h"

#include "text/DisplayText.h"

namespace tandu {

UrlCheck::~UrlCheck() = default;

net::FetchHandlers UrlCheck::fetchHandlers() {
    const unsigned generation = generation_;
    auto current = [this, generation] {
        return generation == generation_ && outcome_ == Outcome::Running;
    };
    net::FetchHandlers handlers;
    handlers.onHead = [this, current](const net::AnswerHead& head) {
        if (current()) {
            onHead(head);
        }
    };
    handlers.onEnd = [this, current] {
        // Ended without a head: nothing to show, nothing to wait for.
        if (current()) {
            fetch_.reset();
            outcome_ = Outcome::Answered;
        }
    };
    handlers.onFailure = [this, current](const net::FetchFailure& failure) {
        if (current()) {
            onFailure(failure);
        }
    };
    return handlers;
}

std::optional<UserMessage> UrlCheck::start(const std::string& text, Handlers handlers) {
    ++generation_;
    fetch_.reset();
    answer_.clear();
    text_ = text;
    handlers_ = std::move(handlers);
    net::Url::Error error;
    url_ = net::Url::parse(text, &error);
    if (!url_) {
        outcome_ = Outcome::Failed;
        return UserMessage{error.kind == net::Url::Error::Kind::UnknownScheme
                               ? error.message
                               : "Invalid hostname entered.",
                           "Error", MsgIcon::Critical};
    }
    outcome_ = Outcome::Running;
    net::FetchHandlers connect = fetchHandlers();
    connect.onEnd = [this, generation = generation_] {
        if (generation == generation_ && outcome_ == Outcome::Running) {
            fetch_.reset();
            if (handlers_.onHostFound) {
                handlers_.onHostFound();
            }
        }
    };
    net::FetchRequest request;
    request.url = *url_;
    request.kind = net::FetchRequest::Kind::Connect;
    fetch_ = fetcher_.start(request, connect);
    return std::nullopt;
}

void UrlCheck::askHead() {
    if (outcome_ != Outcome::Running || fetch_) {
        return;
    }
    net::FetchRequest request;
    request.url = *url_;
    request.kind = net::FetchRequest::Kind::Head;
    request.followRedirects = true;
    fetch_ = fetcher_.start(request, fetchHandlers());
}

UserMessage UrlCheck::hostFound() {
    return {"Host found! Now checking if the file still exists", "Host Found",
            MsgIcon::Information};
}

UserMessage UrlCheck::result() const {
    return {"If the first line says 'OK', than the file exists.\r\n\r\n" + answer_, "Result",
            MsgIcon::Information};
}

void UrlCheck::onHead(const net::AnswerHead& head) {
    fetch_.reset();
    outcome_ = Outcome::Answered;
    answer_ = DisplayText(head.raw.substr(0, kMaxAnswer));
    if (head.raw.size() > kMaxAnswer) {
        answer_ += "\r\n...";
    }
    if (handlers_.onAnswer) {
        handlers_.onAnswer();
    }
}

void UrlCheck::onFailure(const net::FetchFailure& failure) {
    fetch_.reset();
    outcome_ = Outcome::Failed;
    if (handlers_.onFailure) {
        handlers_.onFailure({DisplayText(failure.message), "Error", MsgIcon::Information});
    }
}

}  // namespace tandu
