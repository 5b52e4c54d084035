#include "TestFtpServer.h"
#include "app/WebLinks.h"
#include "settings/StartupCheck.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString newVersionText =
    QStringLiteral("Dostępna jest nowa wersja programu.\nChcesz przejść do odpowiedniej strony www ?");

} // namespace

class TestStartupCheck : public QObject
{
    Q_OBJECT

public slots:
    void browse(const QUrl &address) { m_opened.append(address); }

private slots:
    void init();
    void cleanup();
    void asksOnlyWhenTheServerHasANewerText_data();
    void asksOnlyWhenTheServerHasANewerText();
    void okOpensTheSupportPageCancelNothing_data();
    void okOpensTheSupportPageCancelNothing();
    void failureIsShownAndLeavesTheFlagUnset_data();
    void failureIsShownAndLeavesTheFlagUnset();
    void retriesOnlyAfterAnotherWindowClosed();
    void settingDecidesWhetherTheServerIsAsked_data();
    void settingDecidesWhetherTheServerIsAsked();
    void activationWhileRunningStartsNoSecondCheck();
    void activationDuringTheQuestionStartsNoSecondCheck();

private:
    void setting(const char *line);
    // Activates, waits for the check to end and answers whether it ran.
    bool runCheck();

    ScriptedDialogs *m_dialogs = nullptr;
    TestDir *m_dir = nullptr;
    QWidget *m_window = nullptr;
    QPlainTextEdit *m_buffer = nullptr;
    StartupCheck *m_check = nullptr;
    QList<QUrl> m_opened;
};

void TestStartupCheck::init()
{
    m_dialogs = new ScriptedDialogs;
    m_dir = new TestDir;
    m_window = new QWidget;
    m_buffer = new QPlainTextEdit(m_window);
    m_check = new StartupCheck(m_window, m_buffer);
    m_check->setLimits(shortLimits());
    m_opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "browse");
    setting("sprawdz_wersje=1");
}

void TestStartupCheck::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    delete m_window;
    delete m_dir;
    delete m_dialogs;
}

void TestStartupCheck::setting(const char *line)
{
    QStringList lines{"[kategorie]", "0=Monety", "[config]", "liczba_kategorii=1"};
    if (*line)
        lines << QLatin1String(line);
    m_dir->write("kategorie.gmd", crlf(lines));
}

bool TestStartupCheck::runCheck()
{
    QSignalSpy ended(m_check, &StartupCheck::ended);
    m_check->activate(m_dir->path());
    if (!m_check->running())
        return false;
    return ended.wait(20'000);
}

void TestStartupCheck::asksOnlyWhenTheServerHasANewerText_data()
{
    QTest::addColumn<QByteArray>("remote");
    QTest::addColumn<bool>("asked");
    QTest::newRow("newer") << QByteArray("0.3.0") << true;
    QTest::newRow("equal") << QByteArray("0.2.9") << false;
    QTest::newRow("older") << QByteArray("0.2.8") << false;
    QTest::newRow("0.2.10") << QByteArray("0.2.10") << false;
    QTest::newRow("equal with a line break") << QByteArray("0.2.9\n") << true;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestStartupCheck::asksOnlyWhenTheServerHasANewerText()
{
    QFETCH(QByteArray, remote);
    QFETCH(bool, asked);
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile(remote);
    m_check->setEndpoint(server.endpoint());
    m_dialogs->answerNext(QMessageBox::Cancel);

    QVERIFY(runCheck());
    QCOMPARE(m_dialogs->shown.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(m_dialogs->shown[0].caption, QStringLiteral("Nowa wersja"));
        QCOMPARE(m_dialogs->shown[0].text, newVersionText);
        QCOMPARE(m_dialogs->shown[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(m_dialogs->shown[0].icon, Dialogs::Icon::None);
    }
    QVERIFY(m_check->done());
    QCOMPARE(m_dir->read("wersja.txt"), remote); // the local copy stays, as fetched
    QCOMPARE(m_buffer->toPlainText(), QString::fromLatin1(remote));

    // A completed check is not repeated in this run.
    QVERIFY(!runCheck());
    m_check->windowClosed();
    QVERIFY(!runCheck());
    QCOMPARE(server.count("USER"), 1);
}

void TestStartupCheck::okOpensTheSupportPageCancelNothing_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("opened");
    QTest::newRow("OK") << QMessageBox::Ok << 1;
    QTest::newRow("Cancel") << QMessageBox::Cancel << 0;
}

void TestStartupCheck::okOpensTheSupportPageCancelNothing()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, opened);
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("1.0");
    m_check->setEndpoint(server.endpoint());
    m_dialogs->answerNext(answer);
    QVERIFY(runCheck());
    QCOMPARE(m_opened.size(), opened);
    if (opened)
        QCOMPARE(m_opened[0], WebLinks::supportForum().address);
    QVERIFY(m_check->done());
}

void TestStartupCheck::failureIsShownAndLeavesTheFlagUnset_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // its beginning
    QTest::newRow("missing remote file") << "missing"
                                         << "550 ";
    QTest::newRow("wrong password") << "password"
                                    << "530 ";
    QTest::newRow("connection refused") << "refused"
                                        << "Nie można połączyć się z serwerem";
    QTest::newRow("silent server") << "silent"
                                   << "Serwer 127.0.0.1 nie odpowiedział w wyznaczonym czasie";
    QTest::newRow("file over 4 KiB") << "oversized"
                                     << "Plik wersji na serwerze 127.0.0.1 jest za duży";
}

void TestStartupCheck::failureIsShownAndLeavesTheFlagUnset()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestFtpServer server(kind == "silent" ? TestFtpServer::Mode::Silent : TestFtpServer::Mode::Ftp);
    QVERIFY(server.isListening());
    FtpEndpoint endpoint = server.endpoint();
    if (kind == "password")
        endpoint.password = QStringLiteral("zlehaslo");
    else if (kind == "refused")
        endpoint = refusingEndpoint();
    if (kind == "password" || kind == "oversized")
        server.putVersionFile(kind == "oversized" ? QByteArray(5000, '9') : QByteArray("0.3.0"));
    m_check->setEndpoint(endpoint);

    QVERIFY(runCheck());
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].caption, QStringLiteral("Gromadnik"));
    QCOMPARE(m_dialogs->shown[0].icon, Dialogs::Icon::Error);
    QVERIFY2(m_dialogs->shown[0].text.startsWith(message), qPrintable(m_dialogs->shown[0].text));
    QVERIFY(!m_check->done());
    QVERIFY(!m_check->running());
}

// Closing the error display activates the main window again; that alone must not start a check,
// or an unreachable server would bring the error back at once, over and over.
void TestStartupCheck::retriesOnlyAfterAnotherWindowClosed()
{
    m_check->setEndpoint(refusingEndpoint());
    QVERIFY(runCheck());
    QVERIFY(!runCheck());
    QCOMPARE(m_dialogs->shown.size(), 1);

    m_check->windowClosed();
    QVERIFY(runCheck());
    QCOMPARE(m_dialogs->shown.size(), 2);
    QCOMPARE(m_dialogs->shown[1].text, m_dialogs->shown[0].text);

    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.2.9");
    m_check->setEndpoint(server.endpoint());
    m_check->windowClosed();
    QVERIFY(runCheck());
    QVERIFY(m_check->done());
    QCOMPARE(m_dialogs->shown.size(), 2);
}

void TestStartupCheck::settingDecidesWhetherTheServerIsAsked_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("runs");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("0") << QByteArray("sprawdz_wersje=0") << false;
    QTest::newRow("1") << QByteArray("sprawdz_wersje=1") << true;
    QTest::newRow("2, which the settings window shows as no") << QByteArray("sprawdz_wersje=2") << true;
}

void TestStartupCheck::settingDecidesWhetherTheServerIsAsked()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, runs);
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.2.9");
    m_check->setEndpoint(server.endpoint());
    setting(line.constData());

    QCOMPARE(runCheck(), runs);
    QCOMPARE(m_check->done(), runs);
    QCOMPARE(QFile::exists(m_dir->file("wersja.txt")), runs);
    if (runs)
        QTRY_COMPARE(server.count("QUIT"), 1);
    QCOMPARE(server.count("USER"), runs ? 1 : 0);
}

void TestStartupCheck::activationWhileRunningStartsNoSecondCheck()
{
    TestFtpServer server(TestFtpServer::Mode::Silent);
    QVERIFY(server.isListening());
    m_check->setEndpoint(server.endpoint());
    QSignalSpy ended(m_check, &StartupCheck::ended);
    m_check->activate(m_dir->path());
    QTRY_COMPARE(server.count("connected"), 1);
    m_check->windowClosed();
    m_check->activate(m_dir->path());
    QVERIFY(ended.wait(20'000));
    QCOMPARE(server.count("connected"), 1);
    QCOMPARE(m_dialogs->shown.size(), 1);
}

void TestStartupCheck::activationDuringTheQuestionStartsNoSecondCheck()
{
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.3.0");
    m_check->setEndpoint(server.endpoint());
    bool runningMeanwhile = false;
    m_dialogs->onNextMessage([&] {
        m_check->windowClosed();
        m_check->activate(m_dir->path());
        runningMeanwhile = m_check->running();
    });
    QVERIFY(runCheck());
    QVERIFY(runningMeanwhile); // still the first check: its answer is being asked for
    QCOMPARE(m_dialogs->shown.size(), 1);
    QTRY_COMPARE(server.count("QUIT"), 1);
    QCOMPARE(server.count("USER"), 1);
    QVERIFY(m_check->done());
}

QTEST_MAIN(TestStartupCheck)
#include "tst_startupcheck.moc"
