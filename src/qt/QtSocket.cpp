#include "QtSocket.h"

#include <algorithm>

#include "Text.h"

namespace tandu::qt {

int QtSocket::errorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            return 10061;
        case QAbstractSocket::RemoteHostClosedError:
            return 10054;
        case QAbstractSocket::HostNotFoundError:
            return 11001;
        case QAbstractSocket::SocketAccessError:
            return 10013;
        case QAbstractSocket::SocketResourceError:
            return 10055;
        case QAbstractSocket::SocketTimeoutError:
            return 10060;
        case QAbstractSocket::NetworkError:
            return 10050;
        case QAbstractSocket::AddressInUseError:
            return 10048;
        case QAbstractSocket::SocketAddressNotAvailableError:
            return 10049;
        case QAbstractSocket::UnsupportedSocketOperationError:
            return 10045;
        default:
            return 10000 + static_cast<int>(error);
    }
}

QtSocket::QtSocket(SocketHandlers handlers, std::map<int, int> portMap)
    : handlers_(std::move(handlers)), portMap_(std::move(portMap)) {}

QtSocket::~QtSocket() {
    if (socket_) {
        // It may be inside one of its own signals: let Qt delete it later.
        socket_->disconnect();
        socket_->abort();
        socket_->deleteLater();
    }
}

void QtSocket::attach() {
    if (socket_) {
        socket_->disconnect();
        socket_->abort();
        socket_->deleteLater();
    }
    socket_ = new QTcpSocket();
    socket_->setReadBufferSize(kReadBufferSize);
    QTcpSocket* s = socket_;
    QObject::connect(s, &QTcpSocket::connected, s, [this] {
        if (auto handler = handlers_.onConnect) {
            handler();
        }
    });
    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
        if (auto handler = handlers_.onDataArrival) {
            handler(static_cast<std::size_t>(s->bytesAvailable()));
        }
    });
    QObject::connect(s, &QTcpSocket::errorOccurred, s, [this, s](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError) {
            return;  // the end of the data; reported as a close
        }
        failed_ = true;
        if (auto handler = handlers_.onError) {
            handler(errorNumber(e), fromQ(s->errorString()));
        }
    });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this] {
        if (closing_ || failed_) {
            return;
        }
        if (auto handler = handlers_.onClose) {
            handler();
        }
    });
}

void QtSocket::connect(const std::string& host, int port) {
    attach();
    failed_ = false;
    closing_ = false;
    const auto mapped = portMap_.find(port);
    const int realPort = mapped == portMap_.end() ? port : mapped->second;
    socket_->connectToHost(toQ(host), static_cast<quint16>(realPort));
}

void QtSocket::close() {
    if (!socket_) {
        return;
    }
    closing_ = true;
    socket_->abort();
}

void QtSocket::send(std::string_view bytes) {
    if (socket_) {
        socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
}

std::size_t QtSocket::bytesAvailable() const {
    return socket_ ? static_cast<std::size_t>(socket_->bytesAvailable()) : 0;
}

std::string QtSocket::getData() {
    std::string data;
    while (readInto(data, static_cast<std::size_t>(kReadBufferSize)) > 0) {
    }
    return data;
}

std::size_t QtSocket::readInto(std::string& out, std::size_t maxBytes) {
    if (!socket_) {
        return 0;
    }
    const std::size_t want =
        std::min(maxBytes, static_cast<std::size_t>(socket_->bytesAvailable()));
    if (want == 0) {
        return 0;
    }
    const std::size_t before = out.size();
    out.resize(before + want);
    const qint64 n = socket_->read(out.data() + before, static_cast<qint64>(want));
    out.resize(before + static_cast<std::size_t>(std::max<qint64>(n, 0)));
    return static_cast<std::size_t>(std::max<qint64>(n, 0));
}

std::size_t QtSocket::read(char* data, std::size_t maxBytes) {
    if (!socket_ || maxBytes == 0) {
        return 0;
    }
    const qint64 n = socket_->read(data, static_cast<qint64>(maxBytes));
    return static_cast<std::size_t>(std::max<qint64>(n, 0));
}

SocketState QtSocket::state() const {
    if (!socket_) {
        return SocketState::Closed;
    }
    if (failed_) {
        return SocketState::Error;
    }
    switch (socket_->state()) {
        case QAbstractSocket::HostLookupState:
        case QAbstractSocket::ConnectingState:
            return SocketState::Connecting;
        case QAbstractSocket::ConnectedState:
            return SocketState::Connected;
        default:
            return SocketState::Closed;
    }
}

}  // namespace tandu::qt
