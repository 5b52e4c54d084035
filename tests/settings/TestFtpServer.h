#pragma once

#include "settings/FtpFetch.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A real FTP server on 127.0.0.1 and a free port (pyftpdlib), serving a temporary folder to one
// account, or a server that accepts connections and never says a word.
class TestFtpServer
{
public:
    enum class Mode {
        Ftp,
        FtpWithoutSize, // sends a file without telling its size first
        Silent,
    };

    explicit TestFtpServer(Mode mode = Mode::Ftp);
    ~TestFtpServer();

    // Whether the server listens; a test cannot go on without it.
    bool isListening() const { return m_port > 0; }
    FtpEndpoint endpoint() const;

    // The remote version file's whole content.
    void putVersionFile(const QByteArray &content) const;

    // The commands received so far, one line each ("USER tester34", "RETR public_html/wersja.txt"),
    // and "connected" for each connection the silent server took.
    QStringList received();
    int count(const QString &command);

    static const QString user;
    static const QString password;

private:
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
    QByteArray m_pending;
    QStringList m_received;
};

// Short limits, so the silent server ends a test quickly.
FetchLimits shortLimits();
// An address on which nothing listens.
FtpEndpoint refusingEndpoint();
