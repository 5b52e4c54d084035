#include "FtpFetch.h"

#include "store/Error.h"

#include <QSaveFile>
#include <QUrl>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

struct Transfer
{
    QSaveFile *file = nullptr;
    qint64 maxBytes = 0;
    const std::atomic_bool *abort = nullptr;
    qint64 received = 0;
    bool tooLarge = false;
    bool writeFailed = false;
    QByteArray refusal; // the server's last reply line that refused a command
};

size_t writeData(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const auto bytes = qint64(size * count);
    transfer->received += bytes;
    // The server may not tell the size before sending, so the cap is kept here as well.
    if (transfer->received > transfer->maxBytes) {
        transfer->tooLarge = true;
        return 0;
    }
    if (transfer->file->write(data, bytes) != bytes) {
        transfer->writeFailed = true;
        return 0;
    }
    return size_t(bytes);
}

int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *transfer = static_cast<Transfer *>(user);
    return transfer->abort && transfer->abort->load() ? 1 : 0;
}

bool isRefusal(const QByteArray &reply)
{
    return reply.size() >= 3 && (reply[0] == '4' || reply[0] == '5');
}

// The refusal is kept because libcurl's own text names only the kind of failure, and its QUIT
// afterwards brings a reply of its own.
int watchReplies(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    if (type == CURLINFO_HEADER_IN) {
        const QByteArray line = QByteArray(data, qsizetype(size)).trimmed();
        if (isRefusal(line))
            static_cast<Transfer *>(user)->refusal = line;
    }
    return 0;
}

QString failure(CURLcode code, const Transfer &transfer, const FtpEndpoint &endpoint, const QString &localFile)
{
    const QString server = endpoint.host;
    if (code == CURLE_FILESIZE_EXCEEDED || transfer.tooLarge)
        return QStringLiteral("Plik wersji na serwerze %1 jest za duży (dozwolone najwyżej %2 bajtów)")
            .arg(server)
            .arg(transfer.maxBytes);
    if (transfer.writeFailed)
        return AppError::unableToWrite(localFile).message();
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Nie znaleziono serwera %1").arg(server);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Nie można połączyć się z serwerem %1 (port %2)").arg(server).arg(endpoint.port);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Serwer %1 nie odpowiedział w wyznaczonym czasie").arg(server);
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("Sprawdzanie wersji przerwane");
    default:
        break;
    }
    if (!transfer.refusal.isEmpty())
        return QString::fromUtf8(transfer.refusal);
    return QStringLiteral("Błąd połączenia z serwerem %1: %2").arg(server, QString::fromUtf8(curl_easy_strerror(code)));
}

QByteArray addressOf(const FtpEndpoint &endpoint, const QString &remotePath)
{
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(endpoint.host);
    url.setPort(endpoint.port);
    url.setPath(QLatin1Char('/') + remotePath);
    return url.toEncoded();
}

void setOptions(CURL *curl, const FtpEndpoint &endpoint, const FetchLimits &limits, Transfer &transfer)
{
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_PROXY, ""); // straight to the server, whatever the environment says
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERNAME, endpoint.user.toUtf8().constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, endpoint.password.toUtf8().constData());
    // Active mode with PORT: the server connects back to the address of the control connection.
    curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L); // QUIT as soon as the file is in
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connect.count()));
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, long(limits.connect.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(limits.whole.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L); // only to hand the server's replies to watchReplies
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, watchReplies);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &transfer);
}

} // namespace

void initialiseFtp()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void fetchFile(const FtpEndpoint &endpoint, const QString &remotePath, const QString &localFile,
               const FetchLimits &limits, const std::atomic_bool *abort)
{
    initialiseFtp();
    QSaveFile file(localFile);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError::unableToWrite(localFile);
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        throw AppError(QStringLiteral("Nie można przygotować połączenia FTP"));

    Transfer transfer;
    transfer.file = &file;
    transfer.maxBytes = limits.maxBytes;
    transfer.abort = abort;
    setOptions(curl.get(), endpoint, limits, transfer);
    const QByteArray address = addressOf(endpoint, remotePath);
    curl_easy_setopt(curl.get(), CURLOPT_URL, address.constData());

    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK)
        throw AppError(failure(code, transfer, endpoint, localFile));
    if (!file.commit())
        throw AppError::unableToWrite(localFile);
}
