#include "QtInstanceChannel.h"

#include <unistd.h>

#include <QLocalSocket>
#include <QTimer>

#include "Text.h"

namespace tandu::qt {

namespace {
constexpr int kWaitMs = 1500;
// One line: "URL " + address, or "ACTIVATE".
const QByteArray kUrlPrefix = "URL ";
const QByteArray kActivate = "ACTIVATE";
}  // namespace

QString QtInstanceChannel::serverName(const std::string& title) {
    // One instance per user and display: a window on another screen is not "the running one".
    QString display = qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
    for (QChar& c : display) {
        if (!c.isLetterOrNumber()) {
            c = '_';
        }
    }
    return toQ(title) + QStringLiteral("-%1-%2").arg(::getuid()).arg(display);
}

bool QtInstanceChannel::otherInstanceRunning(const std::string& title) {
    QLocalSocket probe;
    probe.connectToServer(serverName(title));
    const bool running = probe.waitForConnected(kWaitMs);
    probe.abort();
    return running;
}

bool QtInstanceChannel::handOff(const std::string& title, const std::optional<std::string>& url) {
    QLocalSocket socket;
    socket.connectToServer(serverName(title));
    if (!socket.waitForConnected(kWaitMs)) {
        return false;
    }
    QByteArray line = url ? kUrlPrefix + QByteArray::fromStdString(*url) : kActivate;
    line.replace('\n', ' ');
    socket.write(line + '\n');
    socket.flush();
    if (!socket.waitForBytesWritten(kWaitMs)) {
        return false;
    }
    // Wait for the running instance to confirm it owns the text now.
    const bool confirmed = socket.waitForReadyRead(kWaitMs) && socket.readAll().startsWith("OK");
    socket.disconnectFromServer();
    return confirmed;
}

void QtInstanceChannel::listen(const std::string& title, HandOffHandler handler) {
    handler_ = std::move(handler);
    const QString name = serverName(title);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name)) {
        // A socket left behind by a crashed instance: nobody answered on it.
        QLocalServer::removeServer(name);
        server_.listen(name);
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (!client->canReadLine()) {
                    return;
                }
                const QByteArray line = client->readLine().chopped(1);
                std::optional<std::string> url;
                if (line.startsWith(kUrlPrefix)) {
                    url = line.mid(kUrlPrefix.size()).toStdString();
                }
                client->write("OK\n");
                client->flush();
                // The handler may open a dialog: it runs after this socket's slot
                // has returned, so the socket can go while the dialog is open.
                QTimer::singleShot(0, this, [this, url] {
                    if (handler_) {
                        handler_(url);
                    }
                });
            });
        }
    });
}

}  // namespace tandu::qt
