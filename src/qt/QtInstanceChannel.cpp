#include "QtInstanceChannel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QTimer>
#include <cstdio>

#include "InstanceSocket.h"
#include "Text.h"

namespace tandu::qt {

namespace {
constexpr std::chrono::milliseconds kWait{1500};

// What is left at the path by a window that is gone: only a socket is removed.
void removeStaleSocket(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
        ::unlink(path.c_str());
    }
}
}  // namespace

bool QtInstanceChannel::handToRunning(const std::string& /*title*/,
                                      const std::optional<std::string>& message,
                                      HandOffHandler handler) {
    std::string reason;
    const std::string path = InstanceSocket::path(&reason);
    if (path.empty()) {
        std::fprintf(stderr, "tandu: links cannot be handed to this window: %s\n", reason.c_str());
        return false;
    }
    const InstanceSocket::StartLock lock(path);
    const std::string line = message ? InstanceSocket::kOpen + *message
                                     : std::string(InstanceSocket::kActivate);
    if (InstanceSocket::deliver(path, line, kWait)) {
        return true;
    }
    handler_ = std::move(handler);
    removeStaleSocket(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(toQ(path))) {
        std::fprintf(stderr, "tandu: links cannot be handed to this window: %s\n",
                     server_.errorString().toLocal8Bit().constData());
        return false;
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] { accept(); });
    return false;
}

void QtInstanceChannel::accept() {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        if (!InstanceSocket::peerIsThisUser(static_cast<int>(client->socketDescriptor()))) {
            client->abort();
            continue;
        }
        connect(client, &QLocalSocket::readyRead, client, [this, client] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() > static_cast<qint64>(InstanceSocket::kMaxLine)) {
                    client->abort();
                }
                return;
            }
            const QByteArray line = client->readLine().chopped(1);
            std::optional<std::string> message;
            if (line.startsWith(InstanceSocket::kOpen)) {
                message = line.mid(static_cast<qsizetype>(std::strlen(InstanceSocket::kOpen)))
                              .toStdString();
            }
            client->write("OK\n");
            client->flush();
            // The handler may open a dialog: it runs after this socket's slot
            // has returned, so the socket can go while the dialog is open.
            QTimer::singleShot(0, this, [this, message] {
                if (handler_) {
                    handler_(message);
                }
            });
        });
    }
}

}  // namespace tandu::qt
