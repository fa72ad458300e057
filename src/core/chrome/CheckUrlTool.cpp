#include "chrome/CheckUrlTool.h"

#include "catalogue/TextFile.h"
#include "chrome/DisplayText.h"
#include "platform/Socket.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "transfer/SplitHost.h"

namespace tandu {

namespace {
constexpr int kHttpPort = 80;
}  // namespace

CheckUrlTool::CheckUrlTool(frmMain& form) : form_(form) {}
CheckUrlTool::~CheckUrlTool() = default;

void CheckUrlTool::closeSocket() {
    // Destroying the socket also ends its events: nothing of an older check
    // reaches the next one.
    if (WskCheck) {
        WskCheck->close();
        WskCheck.reset();
    }
}

void CheckUrlTool::start() {
    ++generation_;
    closeSocket();
    answer_.clear();
    outcome_ = Outcome::None;
    Platform& platform = form_.app().platform();
    checkUrl_ = platform.ui.inputBox("Type the URL to verify", "Check URL", "");
    const std::string host = SplitHost(checkUrl_);
    // A line break typed or pasted into the address would add lines of its
    // own to the request.
    if (host.empty() || textfile::hasControlCharacter(checkUrl_)) {
        outcome_ = Outcome::Failed;
        platform.ui.messageBox("Invalid hostname entered.", "Error", MsgIcon::Critical);
        return;
    }
    const unsigned generation = generation_;
    auto current = [this, generation] { return generation == generation_; };
    SocketHandlers handlers;
    handlers.onConnect = [this, current] {
        if (current()) {
            onConnect();
        }
    };
    handlers.onDataArrival = [this, current](std::size_t) {
        if (current()) {
            onDataArrival();
        }
    };
    handlers.onError = [this, current](int number, const std::string& description) {
        if (current()) {
            onError(number, description);
        }
    };
    handlers.onClose = [this, current] {
        if (current()) {
            onClose();
        }
    };
    WskCheck = platform.sockets.create(std::move(handlers));
    outcome_ = Outcome::Running;
    WskCheck->connect(host, kHttpPort);
}

void CheckUrlTool::onConnect() {
    if (outcome_ != Outcome::Running) {
        return;
    }
    const unsigned generation = generation_;
    form_.app().platform().ui.messageBox("Host found! Now checking if the file still exists",
                                         "Host Found", MsgIcon::Information);
    // The box is modal: while it was open this check may have been replaced or ended.
    if (generation != generation_ || outcome_ != Outcome::Running || !WskCheck) {
        return;
    }
    WskCheck->send("HEAD " + checkUrl_ + " HTTP/1.0\r\n\r\n");
}

void CheckUrlTool::onDataArrival() {
    if (outcome_ != Outcome::Running || !WskCheck) {
        return;
    }
    std::string received;
    WskCheck->readInto(received, kMaxAnswer);
    const bool cut = received.size() >= kMaxAnswer && WskCheck->bytesAvailable() > 0;
    // Closed before the box shows, so data arriving meanwhile is never read.
    closeSocket();
    outcome_ = Outcome::Answered;
    answer_ = DisplayText(received);
    if (cut) {
        answer_ += "\r\n...";
    }
    form_.app().platform().ui.messageBox(
        "If the first line says 'OK', than the file exists.\r\n\r\n" + answer_, "Result",
        MsgIcon::Information);
}

void CheckUrlTool::onError(int /*number*/, const std::string& description) {
    if (outcome_ != Outcome::Running) {
        return;
    }
    // The socket stays in its error state; the next check closes it.
    outcome_ = Outcome::Failed;
    form_.app().platform().ui.messageBox(DisplayText(description), "Error", MsgIcon::Information);
}

void CheckUrlTool::onClose() {
    // The server hung up without a word: nothing to show, nothing to wait for.
    if (outcome_ == Outcome::Running) {
        closeSocket();
        outcome_ = Outcome::Closed;
    }
}

}  // namespace tandu
