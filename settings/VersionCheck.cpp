#include "VersionCheck.h"

#include "store/Error.h"

#include <QFile>
#include <QThread>
#include <memory>

namespace Version {

QString localCopy(const QString &dataDirectory)
{
    return dataDirectory + QStringLiteral("wersja.txt");
}

bool isNewer(QByteArrayView remote, QByteArrayView own)
{
    const qsizetype common = qMin(remote.size(), own.size());
    for (qsizetype i = 0; i < common; ++i) {
        const auto r = static_cast<unsigned char>(remote[i]);
        const auto o = static_cast<unsigned char>(own[i]);
        if (r != o)
            return r > o;
    }
    return remote.size() > own.size();
}

QByteArray withCrLf(QByteArrayView text)
{
    QByteArray result;
    result.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace Version

namespace {

struct Outcome
{
    bool ok = false;
    QByteArray content;
    QString message;
};

QByteArray readBack(const QString &localFile)
{
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Nie można odczytać pliku %1").arg(localFile));
    return file.readAll();
}

} // namespace

VersionFetch::VersionFetch(QObject *parent) : QObject(parent) {}

VersionFetch::~VersionFetch()
{
    if (m_thread) {
        m_abort = true;
        m_thread->wait();
        delete m_thread;
    }
}

void VersionFetch::start(const FtpEndpoint &endpoint, const QString &localFile, const FetchLimits &limits)
{
    if (m_thread)
        return;
    initialiseFtp();
    m_abort = false;
    auto outcome = std::make_shared<Outcome>();
    m_thread = QThread::create([=, this] {
        try {
            fetchFile(endpoint, Version::remoteFile, localFile, limits, &m_abort);
            outcome->content = readBack(localFile);
            outcome->ok = true;
        } catch (const AppError &error) {
            outcome->message = error.message();
        } catch (const std::exception &error) {
            outcome->message = QString::fromLocal8Bit(error.what());
        }
    });
    connect(m_thread, &QThread::finished, this, [this, outcome] {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
        if (outcome->ok)
            emit fetched(outcome->content);
        else
            emit failed(outcome->message);
    });
    m_thread->start();
}
