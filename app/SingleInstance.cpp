#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace {

const QByteArray request = QByteArrayLiteral("raise\n");
const QByteArray answer = QByteArrayLiteral("ok");

} // namespace

SingleInstance::SingleInstance(std::function<QString()> bringForward, std::chrono::milliseconds patience)
    : m_bringForward(std::move(bringForward)), m_patience(patience)
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFileName(const QString &dir)
{
    return dir + QStringLiteral("gromadnik.lock");
}

QString SingleInstance::serverName(const QString &dir)
{
    const QFileInfo lock(lockFileName(dir));
    const QString path = lock.exists() ? lock.canonicalFilePath() : lock.absoluteFilePath();
    return QStringLiteral("gromadnik-") +
           QString::fromLatin1(QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(24));
}

SingleInstance::Claim SingleInstance::claim(const QString &dir)
{
    if (dir.isEmpty() || (m_lock && dir == m_dir))
        return Claim::Owned;
    auto lock = std::make_unique<QLockFile>(lockFileName(dir));
    // A live copy may hold the catalogue for days: only a holder that no longer runs makes the
    // lock stale, never its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return askHolder(dir);
        return Claim::Owned; // a missing or read-only folder: nothing can be written there anyway
    }
    delete m_server;
    m_server = nullptr;
    m_lock = std::move(lock);
    m_dir = dir;
    listen(dir);
    return Claim::Owned;
}

void SingleInstance::listen(const QString &dir)
{
    const QString name = serverName(dir);
    // The lock is ours, so a socket of that name is one left by a copy that was killed.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    if (!m_server->listen(name))
        return; // a later start cannot reach this copy and tells its user instead
    connect(m_server, &QLocalServer::newConnection, this, [this, server = m_server] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == request) {
                    const QString window = m_bringForward ? m_bringForward() : QString();
                    socket->write(answer + ' ' + window.toUtf8() + '\n');
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

// The holder may still be starting (its splash keeps it from answering for some seconds).
SingleInstance::Claim SingleInstance::askHolder(const QString &dir) const
{
    const QDeadlineTimer deadline(m_patience);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverName(dir));
        if (socket.waitForConnected(int(std::min<qint64>(500, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return Claim::Unreachable;
        QThread::msleep(100);
    }
    socket.write(request);
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return Claim::Unreachable;
    }
    return socket.readLine().startsWith(answer) ? Claim::Forwarded : Claim::Unreachable;
}
