#include "store/ProfileFile.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTest>

// Files damaged or written by other programs: reading never crashes or hangs and gives sensible
// answers, and a write keeps every line that was there.
class TestProfileDamage : public QObject
{
    Q_OBJECT

private slots:
    void damaged_data();
    void damaged();
    void byteOrderMarkDoesNotHideTheFirstSection();
    void oneMegabyteLine();
    void hundredMegabyteFile();

private:
    TestDir m_dir;
};

void TestProfileDamage::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // what [config] liczba reads as

    QByteArray junk(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(1234);
    for (char &c : junk)
        c = char(random.bounded(256));
    QTest::newRow("binary junk") << junk << QString("brak");
    QTest::newRow("junk around a section") << junk + "\r\n[config]\r\nliczba=3\r\n" + junk << QString("3");
    QTest::newRow("NUL bytes") << QByteArray("[config]\r\nli\0czba=1\r\nliczba=2\0x\r\n", 34)
                               << QString::fromLatin1("2\0x", 3);
    QTest::newRow("LF only") << QByteArray("[a]\nb=1\n[config]\nliczba=4\n") << QString("4");
    QTest::newRow("CR only") << QByteArray("[config]\rliczba=5\r") << QString("brak");
    QTest::newRow("no final line break") << QByteArray("[config]\r\nliczba=6") << QString("6");
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[config]\r\nliczba=7\r\n") << QString("7");
    QTest::newRow("unclosed section") << QByteArray("[config\r\nliczba=8\r\n") << QString("brak");
    QTest::newRow("empty file") << QByteArray() << QString("brak");
    QTest::newRow("only line breaks") << QByteArray("\r\n\n\r\n") << QString("brak");
    QTest::newRow("entry before any section") << QByteArray("liczba=9\r\n[config]\r\n") << QString("brak");
}

void TestProfileDamage::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    m_dir.write(QStringLiteral("damaged.gmd"), bytes);
    ProfileFile file(m_dir.file(QStringLiteral("damaged.gmd")));
    QCOMPARE(file.ReadText("config", "liczba", "brak"), expected);
    (void)file.ReadNumber("config", "liczba", 0);
    (void)file.ReadMultiline("config", "liczba");

    file.WriteText("nowa", "klucz", "wartość");
    const QByteArray after = m_dir.read(QStringLiteral("damaged.gmd"));
    const bool terminated = bytes.isEmpty() || bytes.endsWith('\n');
    QCOMPARE(after, bytes + (terminated ? "" : "\r\n") + "[nowa]\r\nklucz=warto\x9C\xE6\r\n");
    QCOMPARE(file.ReadText("nowa", "klucz", ""), QStringLiteral("wartość"));
    file.DropSection("nowa");
    QCOMPARE(m_dir.read(QStringLiteral("damaged.gmd")), bytes + (terminated ? "" : "\r\n"));
}

void TestProfileDamage::byteOrderMarkDoesNotHideTheFirstSection()
{
    m_dir.write(QStringLiteral("bom.gmd"), "\xEF\xBB\xBF[kategorie]\r\n0=Monety\r\n");
    ProfileFile file(m_dir.file(QStringLiteral("bom.gmd")));
    file.WriteText("kategorie", "1", "Odznaczenia");
    QCOMPARE(m_dir.read(QStringLiteral("bom.gmd")),
             QByteArray("\xEF\xBB\xBF[kategorie]\r\n0=Monety\r\n1=Odznaczenia\r\n"));
}

void TestProfileDamage::oneMegabyteLine()
{
    const QByteArray line(1024 * 1024, 'x');
    m_dir.write(QStringLiteral("line.gmd"), "[s]\r\nk=" + line + "\r\n" + line + "\r\nj=2\r\n");
    ProfileFile file(m_dir.file(QStringLiteral("line.gmd")));
    QCOMPARE(file.ReadText("s", "k", "").size(), ProfileFile::maxValueLength);
    QCOMPARE(file.ReadText("s", "j", ""), QStringLiteral("2"));
    file.WriteText("s", "j", "3");
    QCOMPARE(m_dir.read(QStringLiteral("line.gmd")), "[s]\r\nk=" + line + "\r\n" + line + "\r\nj=3\r\n");
}

void TestProfileDamage::hundredMegabyteFile()
{
    QByteArray bytes;
    bytes.reserve(100 * 1024 * 1024 + 64);
    const QByteArray entry = "klucz=" + QByteArray(90, 'w') + "\r\n";
    bytes += "[duza]\r\n";
    while (bytes.size() < 100 * 1024 * 1024)
        bytes += entry;
    bytes += "[config]\r\nliczba=1\r\n";
    m_dir.write(QStringLiteral("big.gmd"), bytes);
    ProfileFile file(m_dir.file(QStringLiteral("big.gmd")));
    QCOMPARE(file.ReadNumber("config", "liczba", 0), 1);
    file.WriteNumber("config", "liczba", 2);
    QCOMPARE(file.ReadNumber("config", "liczba", 0), 2);
    const QByteArray after = m_dir.read(QStringLiteral("big.gmd"));
    QCOMPARE(after.size(), bytes.size());
    QVERIFY(after.endsWith("[config]\r\nliczba=2\r\n"));
}

QTEST_GUILESS_MAIN(TestProfileDamage)
#include "tst_profiledamage.moc"
