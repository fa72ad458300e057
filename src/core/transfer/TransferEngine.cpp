#include "transfer/TransferEngine.h"

#include "catalogue/FileNames.h"
#include "platform/Platform.h"
#include "platform/Socket.h"
#include "platform/TransferLocks.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "transfer/TransferMessages.h"

namespace tandu {

TransferEngine::TransferEngine(frmMain& form)
    : form_(form),
      pages_(*this),
      start_(*this),
      probe_(*this),
      data_(*this),
      completion_(*this),
      pause_(*this),
      timer_(*this) {
    WS.resize(PiecePlan::kMostPieces + 1);
    WS[0] = makeSocket(0);
}

TransferEngine::~TransferEngine() = default;

Platform& TransferEngine::platform() {
    return form_.app().platform();
}

std::unique_ptr<Socket> TransferEngine::makeSocket(int index) {
    SocketHandlers handlers;
    handlers.onConnect = [this, index] { form_.WS_Connect(index); };
    handlers.onDataArrival = [this, index](std::size_t bytes) {
        form_.WS_DataArrival(index, bytes);
    };
    handlers.onError = [this, index](int number, const std::string& description) {
        form_.WS_Error(index, number, description);
    };
    handlers.onClose = [this, index] { form_.WS_Close(index); };
    return platform().sockets.create(std::move(handlers));
}

// ---------------------------------------------------------------- socket events

void TransferEngine::onConnect(int index) {
    if (index == 0) {
        probe_.onConnect();
    } else {
        data_.onConnect(index);
    }
}

void TransferEngine::onDataArrival(int index) {
    if (index == 0) {
        probe_.onData();
    } else {
        data_.onData(index);
    }
}

void TransferEngine::onError(int index, int /*number*/, const std::string& description) {
    if (index == 0) {
        probe_.onError(description);
    } else {
        data_.onError(index, description);
    }
}

void TransferEngine::onClose(int index) {
    if (index == 0) {
        probe_.onClose();
    } else {
        data_.onClose(index);
    }
}

// ---------------------------------------------------------------- connections

Socket* TransferEngine::socket(int index) {
    if (index < 0 || index >= static_cast<int>(WS.size())) {
        return nullptr;
    }
    return WS[static_cast<std::size_t>(index)].get();
}

void TransferEngine::createConnections(int count) {
    destroyConnections();
    for (int i = 1; i <= count; ++i) {
        WS[static_cast<std::size_t>(i)] = makeSocket(i);
    }
}

void TransferEngine::connect(int index) {
    auto& element = WS[static_cast<std::size_t>(index)];
    if (!element) {
        element = makeSocket(index);
    }
    if (index == 0) {
        element->close();
    }
    element->connect(record_.host, kHttpPort);
}

void TransferEngine::destroyConnection(int index) {
    if (index >= 1 && index < static_cast<int>(WS.size())) {
        // Moved out first: the socket may be the one whose event is running.
        std::unique_ptr<Socket> gone = std::move(WS[static_cast<std::size_t>(index)]);
    }
}

void TransferEngine::destroyConnections() {
    for (int i = static_cast<int>(WS.size()) - 1; i >= 1; --i) {
        destroyConnection(i);
    }
}

bool TransferEngine::stalled() const {
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

bool TransferEngine::acquireLock(const std::string& definitionPath) {
    lock_ = platform().locks.tryAcquire(definitionPath);
    return lock_ != nullptr;
}

bool TransferEngine::rewriteProgress(std::string* reason) {
    return progress_.replace(record_.progressPath, record_.plan, record_.writtenCounts(), reason);
}

bool TransferEngine::advanceProgress(std::string* reason) {
    return progress_.advance(record_.progressPath, record_.plan, record_.writtenCounts(), reason);
}

// ---------------------------------------------------------------- endings

void TransferEngine::endTransfer() {
    form_.tmr.setEnabled(false);
    record_.downloading = false;
    record_.probing = false;
    destroyConnections();
    WS[0]->close();
    target_.close();
    for (PieceState& piece : record_.pieces) {
        piece.buffer.release();
        piece.header.clear();
    }
    lock_.reset();
    progress_ = ProgressWriter{};  // the next transfer starts from a whole new file
    form_.applyIdleLayout();
}

void TransferEngine::failStart(const std::optional<std::string>& message) {
    endTransfer();
    pages_.setRowState("Error");
    pages_.settleButtons();
    if (message) {
        showError(*message);
    }
    if (form_.menAll.checked()) {
        startNext();
    }
}

void TransferEngine::failOnFile(const std::string& path, const std::string& reason) {
    // What is in the target file stays counted, so a later resume goes on from there.
    if (!record_.pieces.empty() && FileExists(record_.progressPath)) {
        rewriteProgress(nullptr);
    }
    failStart(messages::fileError(path, reason));
}

void TransferEngine::showError(const std::string& text) {
    platform().ui.messageBox(text, messages::kErrorTitle, MsgIcon::Critical);
}

void TransferEngine::showNotice(const std::string& text) {
    platform().ui.messageBox(text, messages::kNoticeTitle, MsgIcon::Information);
}

void TransferEngine::showConnectionError(const std::string& description) {
    showError(messages::connectionError(description));
}

}  // namespace tandu
