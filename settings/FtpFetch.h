#pragma once

#include <QString>
#include <atomic>
#include <chrono>

// An FTP account on a server.
struct FtpEndpoint
{
    QString host;
    int port = 21;
    QString user;
    QString password;
};

struct FetchLimits
{
    std::chrono::milliseconds connect{10'000}; // until the server has greeted and let us in
    std::chrono::milliseconds whole{30'000};
    qint64 maxBytes = 4096;
};

// Once per process, before the first fetch and on the thread that starts it.
void initialiseFtp();

// Downloads `remotePath`, a path below the login directory, into `localFile`, in active mode.
// The local file is replaced only when the whole remote file has arrived. Blocks, so run it off
// the user-interface thread; setting `abort` ends it within about a second. Throws AppError with
// the text the user is shown.
void fetchFile(const FtpEndpoint &endpoint, const QString &remotePath, const QString &localFile,
               const FetchLimits &limits, const std::atomic_bool *abort = nullptr);
