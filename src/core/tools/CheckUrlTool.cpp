#include "tools/CheckUrlTool.h"

#include "text/DisplayText.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

CheckUrlTool::CheckUrlTool(frmMain& form) : form_(form) {}
CheckUrlTool::~CheckUrlTool() = default;

net::FetchHandlers CheckUrlTool::handlers() {
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

void CheckUrlTool::start() {
    ++generation_;
    fetch_.reset();
    answer_.clear();
    outcome_ = Outcome::None;
    Platform& platform = form_.app().platform();
    checkUrl_ = platform.ui.inputBox("Type the URL to verify", "Check URL", "");
    net::Url::Error error;
    const std::optional<net::Url> url = net::Url::parse(checkUrl_, &error);
    if (!url) {
        outcome_ = Outcome::Failed;
        platform.ui.messageBox(error.kind == net::Url::Error::Kind::UnknownScheme
                                   ? error.message
                                   : "Invalid hostname entered.",
                               "Error", MsgIcon::Critical);
        return;
    }
    outcome_ = Outcome::Running;
    net::FetchHandlers connectHandlers = handlers();
    connectHandlers.onEnd = [this, url = *url, generation = generation_] {
        if (generation == generation_ && outcome_ == Outcome::Running) {
            onConnected(url);
        }
    };
    net::FetchRequest request;
    request.url = *url;
    request.kind = net::FetchRequest::Kind::Connect;
    fetch_ = platform.fetcher.start(request, connectHandlers);
}

void CheckUrlTool::onConnected(const net::Url& url) {
    const unsigned generation = generation_;
    fetch_.reset();
    form_.app().platform().ui.messageBox("Host found! Now checking if the file still exists",
                                         "Host Found", MsgIcon::Information);
    // The box is modal: while it was open this check may have been replaced or ended.
    if (generation != generation_ || outcome_ != Outcome::Running) {
        return;
    }
    net::FetchRequest request;
    request.url = url;
    request.kind = net::FetchRequest::Kind::Head;
    request.followRedirects = true;
    fetch_ = form_.app().platform().fetcher.start(request, handlers());
}

void CheckUrlTool::onHead(const net::AnswerHead& head) {
    fetch_.reset();
    outcome_ = Outcome::Answered;
    answer_ = DisplayText(head.raw.substr(0, kMaxAnswer));
    if (head.raw.size() > kMaxAnswer) {
        answer_ += "\r\n...";
    }
    form_.app().platform().ui.messageBox(
        "If the first line says 'OK', than the file exists.\r\n\r\n" + answer_, "Result",
        MsgIcon::Information);
}

void CheckUrlTool::onFailure(const net::FetchFailure& failure) {
    fetch_.reset();
    outcome_ = Outcome::Failed;
    form_.app().platform().ui.messageBox(DisplayText(failure.message), "Error",
                                         MsgIcon::Information);
}

}  // namespace tandu
