#include "TestFtpServer.h"
#include "settings/VersionCheck.h"
#include "store/Error.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTest>

class TestVersionFetch : public QObject
{
    Q_OBJECT

private slots:
    void comparesByteByByte_data();
    void comparesByteByByte();
    void lineBreaksBecomeCrLf_data();
    void lineBreaksBecomeCrLf();
    void fetchesInActiveModeWithoutChangingDirectory();
    void failuresKeepThePreviousCopy_data();
    void failuresKeepThePreviousCopy();
    void fileOfExactlyTheCapIsTaken();
    void unwritableCopyIsReported();
    void reportsOnTheStartingThreadOneFetchAtATime();
    void runningFetchEndsWithItsOwner();

private:
    QString fetchFailure(const FtpEndpoint &endpoint, const QString &localFile);
};

void TestVersionFetch::comparesByteByByte_data()
{
    QTest::addColumn<QByteArray>("remote");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same") << QByteArray("0.2.9") << false;
    QTest::newRow("0.3.0") << QByteArray("0.3.0") << true;
    QTest::newRow("1.0") << QByteArray("1.0") << true;
    QTest::newRow("0.2.9a") << QByteArray("0.2.9a") << true;
    QTest::newRow("0.2.10, bytes not numbers") << QByteArray("0.2.10") << false;
    QTest::newRow("0.2.8") << QByteArray("0.2.8") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("with a line break") << QByteArray("0.2.9\r\n") << true;
    QTest::newRow("shorter beginning") << QByteArray("0.2.") << false;
    QTest::newRow("byte above 127 is unsigned") << QByteArray("0.2.\xb9") << true;
}

void TestVersionFetch::comparesByteByByte()
{
    QFETCH(QByteArray, remote);
    QFETCH(bool, newer);
    QCOMPARE(Version::isNewer(remote, "0.2.9"), newer);
}

void TestVersionFetch::lineBreaksBecomeCrLf_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("LF") << QByteArray("0.2.9\n") << QByteArray("0.2.9\r\n");
    QTest::newRow("CR LF stays") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QByteArray("a\r\nb");
    QTest::newRow("CR before CR LF") << QByteArray("a\r\r\n") << QByteArray("a\r\n\r\n");
    QTest::newRow("empty lines") << QByteArray("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("none") << QByteArray("0.2.9") << QByteArray("0.2.9");
}

void TestVersionFetch::lineBreaksBecomeCrLf()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Version::withCrLf(text), expected);
}

void TestVersionFetch::fetchesInActiveModeWithoutChangingDirectory()
{
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.3.0\n");
    TestDir dir;
    fetchFile(server.endpoint(), Version::remoteFile, Version::localCopy(dir.path()), shortLimits());
    QCOMPARE(dir.read("wersja.txt"), QByteArray("0.3.0\n"));

    QTRY_COMPARE(server.count("QUIT"), 1);
    const QStringList commands = server.received();
    QCOMPARE(commands.first(), "USER " + TestFtpServer::user);
    QCOMPARE(commands.at(1), "PASS " + TestFtpServer::password);
    QVERIFY(commands.indexOf("RETR public_html/wersja.txt") >
            commands.indexOf(QRegularExpression("^PORT 127,0,0,1,.*")));
    QCOMPARE(server.count("PORT"), 1);
    for (const char *unwanted : {"CWD", "PASV", "EPSV", "EPRT"})
        QCOMPARE(server.count(QLatin1String(unwanted)), 0);
}

QString TestVersionFetch::fetchFailure(const FtpEndpoint &endpoint, const QString &localFile)
{
    try {
        fetchFile(endpoint, Version::remoteFile, localFile, shortLimits());
    } catch (const AppError &error) {
        return error.message();
    }
    return QString();
}

void TestVersionFetch::failuresKeepThePreviousCopy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // its beginning
    QTest::newRow("missing remote file") << "missing"
                                         << "550 ";
    QTest::newRow("wrong password") << "password"
                                    << "530 ";
    QTest::newRow("connection refused") << "refused"
                                        << "Nie można połączyć się z serwerem 127.0.0.1";
    QTest::newRow("silent server") << "silent"
                                   << "Serwer 127.0.0.1 nie odpowiedział w wyznaczonym czasie";
    QTest::newRow("file over 4 KiB") << "oversized"
                                     << "Plik wersji na serwerze 127.0.0.1 jest za duży";
    QTest::newRow("missing remote file, size not told") << "missing nosize"
                                                        << "550 ";
    QTest::newRow("file over 4 KiB, size not told") << "oversized nosize"
                                                    << "Plik wersji na serwerze 127.0.0.1 jest za duży";
}

void TestVersionFetch::failuresKeepThePreviousCopy()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const auto mode = kind == "silent"           ? TestFtpServer::Mode::Silent
                      : kind.endsWith(" nosize") ? TestFtpServer::Mode::FtpWithoutSize
                                                 : TestFtpServer::Mode::Ftp;
    kind.remove(QStringLiteral(" nosize"));
    TestFtpServer server(mode);
    QVERIFY(server.isListening());
    FtpEndpoint endpoint = server.endpoint();
    if (kind == "password")
        endpoint.password = QStringLiteral("zlehaslo");
    else if (kind == "refused")
        endpoint = refusingEndpoint();
    if (kind != "missing" && kind != "silent")
        server.putVersionFile(kind == "oversized" ? QByteArray(4097, '9') : QByteArray("0.3.0"));

    TestDir dir;
    dir.write("wersja.txt", "0.2.5");
    const QString failure = fetchFailure(endpoint, Version::localCopy(dir.path()));
    QVERIFY2(failure.startsWith(message), qPrintable(failure));
    QCOMPARE(dir.read("wersja.txt"), QByteArray("0.2.5"));
    if (mode == TestFtpServer::Mode::FtpWithoutSize) // found out while the file comes in
        QTRY_COMPARE(server.count("RETR"), 1);
}

void TestVersionFetch::fileOfExactlyTheCapIsTaken()
{
    TestFtpServer server;
    QVERIFY(server.isListening());
    const QByteArray content(4096, '1');
    server.putVersionFile(content);
    TestDir dir;
    fetchFile(server.endpoint(), Version::remoteFile, Version::localCopy(dir.path()), shortLimits());
    QCOMPARE(dir.read("wersja.txt"), content);
}

void TestVersionFetch::unwritableCopyIsReported()
{
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.3.0");
    TestDir dir;
    const QString localFile = dir.file("brak/wersja.txt");
    QCOMPARE(fetchFailure(server.endpoint(), localFile), "Unable to write to " + localFile);
}

void TestVersionFetch::reportsOnTheStartingThreadOneFetchAtATime()
{
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.2.9");
    TestDir dir;
    VersionFetch fetch;
    QSignalSpy fetched(&fetch, &VersionFetch::fetched);
    QSignalSpy failed(&fetch, &VersionFetch::failed);
    fetch.start(server.endpoint(), Version::localCopy(dir.path()), shortLimits());
    QVERIFY(fetch.isRunning());
    fetch.start(server.endpoint(), Version::localCopy(dir.path()), shortLimits());
    QVERIFY(fetched.wait(10'000));
    QVERIFY(!fetch.isRunning());
    QCOMPARE(fetched.first().first().toByteArray(), QByteArray("0.2.9"));
    QCOMPARE(failed.size(), 0);
    QTRY_COMPARE(server.count("QUIT"), 1);
    QCOMPARE(server.count("USER"), 1);
}

void TestVersionFetch::runningFetchEndsWithItsOwner()
{
    TestFtpServer server(TestFtpServer::Mode::Silent);
    QVERIFY(server.isListening());
    TestDir dir;
    FetchLimits patient;
    patient.connect = patient.whole = std::chrono::hours(1);
    auto fetch = std::make_unique<VersionFetch>();
    fetch->start(server.endpoint(), Version::localCopy(dir.path()), patient);
    QTRY_COMPARE(server.count("connected"), 1);
    fetch.reset(); // would wait for an hour unless the fetch is ended
    QVERIFY(!QFile::exists(dir.file("wersja.txt")));
}

QTEST_GUILESS_MAIN(TestVersionFetch)
#include "tst_versionfetch.moc"
