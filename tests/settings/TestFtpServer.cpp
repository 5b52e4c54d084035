#include "TestFtpServer.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>

const QString TestFtpServer::user = QStringLiteral("tester34");
const QString TestFtpServer::password = QStringLiteral("tajne56");

TestFtpServer::TestFtpServer(Mode mode)
{
    QStringList arguments{QStringLiteral(FTP_SERVER_SCRIPT)};
    if (mode != Mode::Silent) {
        QDir(m_root.path()).mkdir(QStringLiteral("public_html"));
        arguments << QStringLiteral("ftp") << m_root.path() << user << password;
        if (mode == Mode::FtpWithoutSize)
            arguments << QStringLiteral("nosize");
    } else {
        arguments << QStringLiteral("silent");
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TEST_PYTHON), arguments);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(15'000)) {
    }
    const QByteArray first = m_process.readLine().trimmed();
    if (first.startsWith("port "))
        m_port = first.mid(5).toInt();
}

TestFtpServer::~TestFtpServer()
{
    m_process.kill();
    m_process.waitForFinished();
}

FtpEndpoint TestFtpServer::endpoint() const
{
    return {QStringLiteral("127.0.0.1"), m_port, user, password};
}

void TestFtpServer::putVersionFile(const QByteArray &content) const
{
    QFile file(m_root.filePath(QStringLiteral("public_html/wersja.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("Cannot write the remote version file");
}

QStringList TestFtpServer::received()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(end).trimmed();
        m_pending.remove(0, end + 1);
        m_received.append(QString::fromUtf8(line.startsWith("command ") ? line.mid(8) : line));
    }
    return m_received;
}

int TestFtpServer::count(const QString &command)
{
    int n = 0;
    for (const QString &line : received())
        n += line == command || line.startsWith(command + QLatin1Char(' '));
    return n;
}

FetchLimits shortLimits()
{
    FetchLimits limits;
    limits.connect = std::chrono::milliseconds(1000);
    limits.whole = std::chrono::milliseconds(2000);
    return limits;
}

FtpEndpoint refusingEndpoint()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const int port = probe.serverPort();
    probe.close();
    return {QStringLiteral("127.0.0.1"), port, TestFtpServer::user, TestFtpServer::password};
}
