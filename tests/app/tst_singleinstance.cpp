#include "app/SingleInstance.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <memory>

namespace {

// The real program on the data folder that `settings` names, headless.
std::unique_ptr<QProcess> startProgram(const TestDir &settings)
{
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.path());
    program->setProcessEnvironment(environment);
    program->setStandardOutputFile(QProcess::nullDevice());
    program->setStandardErrorFile(QProcess::nullDevice());
    program->start(QStringLiteral(GROMADNIK_EXE), {});
    if (!program->waitForStarted())
        qFatal("Cannot start %s", GROMADNIK_EXE);
    return program;
}

// The process that the lock file names as its holder.
qint64 lockHolder(const QString &dir)
{
    QFile lock(SingleInstance::lockFileName(dir));
    return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
}

// Asks the copy that holds `dir` to come forward, as a second start does; answers its reply.
QByteArray askToComeForward(const QString &dir)
{
    QLocalSocket socket;
    for (int attempt = 0; attempt < 150; ++attempt) {
        socket.connectToServer(SingleInstance::serverName(dir));
        if (socket.waitForConnected(100))
            break;
        QTest::qWait(100);
    }
    socket.write("raise\n");
    while (socket.state() == QLocalSocket::ConnectedState && !socket.canReadLine())
        socket.waitForReadyRead(15000);
    return socket.readLine().trimmed();
}

void stop(QProcess &program)
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondStartOnTheSameFolder_data();
    void secondStartOnTheSameFolder();
    void holderThatDoesNotAnswer();
};

void TestSingleInstance::secondStartOnTheSameFolder_data()
{
    QTest::addColumn<QString>("first"); // what became of the first copy before the second start
    QTest::addColumn<bool>("secondRuns");
    QTest::newRow("first copy running") << "running" << false;
    QTest::newRow("first copy running for a day") << "running for a day" << false;
    QTest::newRow("first copy killed") << "killed" << true;
}

// A second start on a folder that a running copy holds asks that copy to come forward and ends;
// the lock of a copy killed with SIGKILL is taken over.
void TestSingleInstance::secondStartOnTheSameFolder()
{
    QFETCH(QString, first);
    QFETCH(bool, secondRuns);
    const TestDir data;
    const TestDir settings;
    settings.write(QStringLiteral("Gromadnik.conf"), "[General]\npath=" + data.path().toUtf8() + "\n");

    const auto one = startProgram(settings);
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(data.path()), one->processId(), 30000);
    QVERIFY(!SingleInstance::lockFileName(data.path()).endsWith(QLatin1String(".gmd")));
    if (first == "running for a day") {
        QFile lock(SingleInstance::lockFileName(data.path()));
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    } else if (first == "killed") {
        one->kill(); // SIGKILL: nothing is let go
        QVERIFY(one->waitForFinished());
        QVERIFY(QFile::exists(SingleInstance::lockFileName(data.path())));
    }

    const auto two = startProgram(settings);
    if (secondRuns) {
        QTRY_COMPARE_WITH_TIMEOUT(lockHolder(data.path()), two->processId(), 30000);
        // Asked while it is still starting, it answers without a window to bring forward.
        QTRY_COMPARE_WITH_TIMEOUT(askToComeForward(data.path()), QByteArray("ok frmGlowny"), 30000);
        QCOMPARE(two->state(), QProcess::Running);
    } else {
        // It ends by itself, without a window or a message, once the first copy has come forward.
        QVERIFY(two->waitForFinished(30000));
        QCOMPARE(two->exitStatus(), QProcess::NormalExit);
        QCOMPARE(two->exitCode(), 0);
        QCOMPARE(one->state(), QProcess::Running);
        QCOMPARE(lockHolder(data.path()), one->processId());
        QCOMPARE(askToComeForward(data.path()), QByteArray("ok frmGlowny"));
    }
    stop(*one);
    stop(*two);
}

// A holder that does not answer (here this test, holding the lock without listening) keeps the
// folder; a copy that moves on to another folder lets go of the one it held.
void TestSingleInstance::holderThatDoesNotAnswer()
{
    const TestDir held;
    const TestDir before;
    const TestDir after;
    QLockFile lock(SingleInstance::lockFileName(held.path()));
    QVERIFY(lock.tryLock(0));
    SingleInstance second([] { return QString(); }, std::chrono::milliseconds(300));
    QCOMPARE(second.claim(held.path()), SingleInstance::Claim::Unreachable);

    QCOMPARE(second.claim(QString()), SingleInstance::Claim::Owned); // no folder chosen yet
    QCOMPARE(second.claim(before.path()), SingleInstance::Claim::Owned);
    QVERIFY(QFile::exists(SingleInstance::lockFileName(before.path())));
    QCOMPARE(second.claim(after.path()), SingleInstance::Claim::Owned);
    QVERIFY(!QFile::exists(SingleInstance::lockFileName(before.path())));
    QVERIFY(QFile::exists(SingleInstance::lockFileName(after.path())));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
