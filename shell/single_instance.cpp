#include "shell/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace tallyrig {

namespace {
constexpr int kConnectTimeoutMs = 500;
} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::default_name() {
    return QStringLiteral("Tallyrig-%1").arg(::getuid());
}

bool SingleInstance::ask_earlier_copy_to_raise() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen(std::function<void()> raise) {
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A copy that ended without closing its socket leaves the name behind.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            // A connection is the request; nothing else is said.
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (m_raise) {
                m_raise();
            }
        }
    });
    return true;
}

} // namespace tallyrig
