#include "transfer/Download.h"

#include <filesystem>

#include "catalogue/FileNames.h"
#include "platform/Socket.h"
#include "platform/TransferLocks.h"
#include "transfer/TransferMessages.h"

namespace tandu {

namespace {

std::string baseNameOf(const std::string& definitionPath) {
    return std::filesystem::path(definitionPath).stem().string();
}

}  // namespace

Download::Download(DownloadSetup& setup, DownloadEvents& events, std::string definitionPath,
                   std::string text, DownloadState state)
    : setup_(setup),
      events_(events),
      definitionPath_(std::move(definitionPath)),
      name_(baseNameOf(definitionPath_)),
      text_(std::move(text)),
      state_(state),
      start_(*this),
      probe_(*this),
      data_(*this),
      completion_(*this),
      pause_(*this),
      timer_(*this) {
    record_.definitionPath = definitionPath_;
    record_.progressPath = ProgressPathFor(definitionPath_);
    WS.resize(PiecePlan::kMostPieces + 1);
}

Download::~Download() = default;

void Download::setRowState(DownloadState state, const std::string& sizeText) {
    state_ = state;
    row_ = RowTexts{};
    row_.size = sizeText;
}

bool Download::start(bool quiet) {
    if (running()) {
        return false;
    }
    quiet_ = quiet;
    pausedOnFault_ = false;
    start_.run();
    return running() || state_ == DownloadState::Completed;
}

std::unique_ptr<Socket> Download::makeSocket(int index) {
    SocketHandlers handlers;
    if (index == 0) {
        handlers.onConnect = [this] { probe_.onConnect(); };
        handlers.onDataArrival = [this](std::size_t) { probe_.onData(); };
        handlers.onError = [this](int, const std::string& description) {
            probe_.onError(description);
        };
        handlers.onClose = [this] { probe_.onClose(); };
    } else {
        handlers.onConnect = [this, index] { data_.onConnect(index); };
        handlers.onDataArrival = [this, index](std::size_t) { data_.onData(index); };
        handlers.onError = [this, index](int, const std::string& description) {
            data_.onError(index, description);
        };
        handlers.onClose = [this, index] { data_.onClose(index); };
    }
    return setup_.sockets.create(std::move(handlers));
}

// ---------------------------------------------------------------- connections

Socket* Download::socket(int index) {
    if (index < 0 || index >= static_cast<int>(WS.size())) {
        return nullptr;
    }
    return WS[static_cast<std::size_t>(index)].get();
}

void Download::createConnections(int count) {
    destroyConnections();
    if (!WS[0]) {
        WS[0] = makeSocket(0);
    }
    for (int i = 1; i <= count; ++i) {
        WS[static_cast<std::size_t>(i)] = makeSocket(i);
    }
}

void Download::connect(int index) {
    auto& element = WS[static_cast<std::size_t>(index)];
    if (!element) {
        element = makeSocket(index);
    }
    if (index == 0) {
        element->close();
    }
    element->connect(record_.host, kHttpPort);
}

void Download::destroyConnection(int index) {
    if (index >= 0 && index < static_cast<int>(WS.size())) {
        // Moved out first: the socket may be the one whose event is running.
        std::unique_ptr<Socket> gone = std::move(WS[static_cast<std::size_t>(index)]);
    }
}

void Download::destroyConnections() {
    for (int i = static_cast<int>(WS.size()) - 1; i >= 1; --i) {
        destroyConnection(i);
    }
}

bool Download::stalled() const {
    if (!record_.downloading || record_.probing) {
        return false;
    }
    for (int i = 1; i <= record_.pieceCount(); ++i) {
        if (record_.piece(i).done) {
            continue;
        }
        const Socket* element = WS[static_cast<std::size_t>(i)].get();
        if (element != nullptr && (element->state() == SocketState::Connecting ||
                                   element->state() == SocketState::Connected)) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- files and lock

bool Download::acquireLock() {
    lock_ = setup_.locks.tryAcquire(definitionPath_);
    return lock_ != nullptr;
}

bool Download::rewriteProgress(std::string* reason) {
    return progress_.replace(record_.progressPath, record_.plan, record_.writtenCounts(), reason);
}

bool Download::advanceProgress(std::string* reason) {
    return progress_.advance(record_.progressPath, record_.plan, record_.writtenCounts(), reason);
}

// ---------------------------------------------------------------- state

void Download::began() {
    record_.ticks = 0;
    events_.downloadStarted(*this);
}

void Download::setState(DownloadState state) {
    state_ = state;
    events_.downloadChanged(*this);
}

// ---------------------------------------------------------------- endings

void Download::endTransfer() {
    record_.downloading = false;
    record_.probing = false;
    destroyConnections();
    if (WS[0]) {
        WS[0]->close();
    }
    target_.close();
    for (PieceState& piece : record_.pieces) {
        piece.buffer.release();
        piece.header.clear();
    }
    lock_.reset();
    progress_ = ProgressWriter{};  // the next transfer starts from a whole new file
}

void Download::failStart(const std::optional<std::string>& message) {
    endTransfer();
    setState(DownloadState::Error);
    if (message) {
        showError(*message);
    }
    ended();
}

void Download::failOnFile(const std::string& path, const std::string& reason) {
    // What is in the target file stays counted, so a later resume goes on from there.
    if (!record_.pieces.empty() && FileExists(record_.progressPath)) {
        rewriteProgress(nullptr);
    }
    failStart(messages::fileError(path, reason));
}

void Download::connectionLost() {
    if (quiet_ && stalled()) {
        rewriteProgress(nullptr);
        failStart(std::nullopt);
    }
}

void Download::showError(const std::string& text) {
    events_.downloadMessage(*this, {text, messages::kErrorTitle, MsgIcon::Critical});
}

void Download::showNotice(const std::string& text) {
    events_.downloadMessage(*this, {text, messages::kNoticeTitle, MsgIcon::Information});
}

void Download::showConnectionError(const std::string& description) {
    showError(messages::connectionError(description));
}

}  // namespace tandu
