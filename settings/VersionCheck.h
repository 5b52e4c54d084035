#pragma once

#include "FtpFetch.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <atomic>

class QThread;

namespace Version {

// The version file on the maker's server, below the account's login directory.
inline const QString remoteFile = QStringLiteral("public_html/wersja.txt");

// Where the fetched version file is kept: the data directory followed directly by "wersja.txt".
QString localCopy(const QString &dataDirectory);

// Whether `remote` is newer than `own`: the first differing byte decides, compared unsigned, and
// on a common beginning the longer text is newer. So "0.2.10" is older than "0.2.9".
bool isNewer(QByteArrayView remote, QByteArrayView own);

// The text with every line break as CR LF, whichever form it came in.
QByteArray withCrLf(QByteArrayView text);

} // namespace Version

// Fetches the version file on a thread of its own, so the windows stay usable while the server is
// slow, and reports on the thread that started it. One fetch at a time.
class VersionFetch : public QObject
{
    Q_OBJECT

public:
    explicit VersionFetch(QObject *parent = nullptr);
    // Ends a running fetch and waits for its thread.
    ~VersionFetch() override;

    // Ignored while a fetch runs.
    void start(const FtpEndpoint &endpoint, const QString &localFile, const FetchLimits &limits);
    // Until the result has been reported.
    bool isRunning() const { return m_thread != nullptr; }

signals:
    // The whole content of the local copy, read back once the download has ended.
    void fetched(const QByteArray &content);
    void failed(const QString &message);

private:
    QThread *m_thread = nullptr;
    std::atomic_bool m_abort{false};
};
