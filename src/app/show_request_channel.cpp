#include "app/show_request_channel.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <utility>

namespace tavorin {

namespace {

// A running wizard answers at once; one that does not is hung or gone, and the second start
// must end all the same.
constexpr int answerWaitMs = 2000;

} // namespace

ShowRequestChannel::ShowRequestChannel(QString socketPath, QObject* parent)
    : QObject(parent), path(std::move(socketPath)) {}

bool ShowRequestChannel::listen() {
    if (server == nullptr) {
        server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* caller = server->nextPendingConnection()) {
                caller->disconnectFromServer();
                caller->deleteLater();
            }
            emit showRequested();
        });
    }
    QLocalServer::removeServer(path);
    return server->listen(path);
}

bool ShowRequestChannel::askToShow() const {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(answerWaitMs)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace tavorin
