#include "common/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <unistd.h>

namespace tallyrig {

namespace {
constexpr int kConnectTimeoutMs = 500;
} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::name_for(const QString& title) {
    QString name = title;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return QStringLiteral("%1-%2").arg(name).arg(::getuid());
}

bool SingleInstance::claim() {
    m_lock = std::make_unique<QLockFile>(QDir(QDir::tempPath()).filePath(m_name + ".lock"));
    // Only a dead holder makes the lock stale; a long-running copy keeps it.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen(true);
        return true;
    }
    const bool held_by_another = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    if (held_by_another) {
        return false;
    }
    // No lock can be made here: run rather than refuse, but leave any socket of the name alone.
    listen(false);
    return true;
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

void SingleInstance::on_raise_request(std::function<void()> raise) {
    m_raise = std::move(raise);
}

void SingleInstance::listen(bool name_is_ours) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name) && name_is_ours) {
        // Holding the lock, a socket of this name can only be one that a dead copy left behind.
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            // A connection is the request; nothing else is said.
            socket->deleteLater();
            if (m_raise) {
                m_raise();
            }
        }
    });
}

} // namespace tallyrig
