#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

constexpr int valueLength = 200000;

// "k=" and a run of one letter, the full length, and the line end; answers where it stops.
qsizetype wholeEntry(const QByteArray &bytes, qsizetype at, char key)
{
    const QByteArray head = QByteArray(1, key) + '=';
    if (bytes.mid(at, 2) != head || at + 2 + valueLength + 2 > bytes.size())
        return -1;
    const char letter = bytes[at + 2];
    if (letter < 'a' || letter > 'z' || bytes.mid(at + 2, valueLength) != QByteArray(valueLength, letter))
        return -1;
    return bytes.mid(at + 2 + valueLength, 2) == "\r\n" ? at + 2 + valueLength + 2 : -1;
}

bool isWhole(const QByteArray &bytes)
{
    if (!bytes.startsWith("[s]\r\n"))
        return false;
    const qsizetype afterV = wholeEntry(bytes, 5, 'v');
    if (afterV < 0)
        return false;
    return afterV == bytes.size() || wholeEntry(bytes, afterV, 'w') == bytes.size();
}

} // namespace

// A writer killed at any moment leaves every file whole: the old content or the new, never part.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedWriterLeavesWholeFiles();
};

void TestCrashSafety::killedWriterLeavesWholeFiles()
{
    for (int attempt = 0; attempt < 6; ++attempt) {
        TestDir dir;
        QProcess writer;
        writer.start(QStringLiteral(PROFILE_WRITER), {dir.path()});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(20000));
        QThread::msleep(37 + 53 * attempt);
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        for (int f = 0; f < 4; ++f) {
            const QByteArray bytes = dir.read(QStringLiteral("plik%1.gmd").arg(f));
            QVERIFY2(isWhole(bytes),
                     qPrintable(QStringLiteral("file %1 is partial (%2 bytes)").arg(f).arg(bytes.size())));
        }
    }
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
