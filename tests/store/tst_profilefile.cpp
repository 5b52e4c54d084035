#include "store/Error.h"
#include "store/ProfileDocument.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"
#include "store/ReadAhead.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void readingAMissingFileGivesTheDefaultAndCreatesNothing();
    void firstWriteCreatesExactlyTwoLines();
    void newKeysFollowTheLastEntryAndNewSectionsGoLast();
    void rewritingKeepsThePlaceAndEveryOtherLine();
    void writingAfterAnUnterminatedLastLine();
    void lineEndsOfUntouchedLinesStay();
    void readNumber_data();
    void readNumber();
    void writeNumberWritesPlainDecimal();
    void readText_data();
    void readText();
    void namesAreMatchedWithoutRegardToCase();
    void firstOfTwoSectionsOrKeysCounts();
    void sectionsAreFoundInFilesOfAnySize();
    void lookupsStayRightWhileLongSectionsGrow();
    void longValuesAreCutTo2047Characters();
    void dropSectionTakesItsLinesOnly();
    void dropKey();
    void writeFailures_data();
    void writeFailures();
    void valuesThatWouldBreakTheLineAreRefused();
    void multiline_data();
    void multiline();
    void multilineReadsOlderPlainValuesAsTheyAre();
    void editWritesAllChangesOrNone();
    void cachedReadsDoNotTouchTheFileAgain();
    void changesMadeOutsideAreSeen();
    void objectsOnOneFileSeeEachOthersWrites();
    void filesReadAheadAreReadOnceAndSeenAsWritten();

private:
    TestDir m_dir;
};

void TestProfileFile::readingAMissingFileGivesTheDefaultAndCreatesNothing()
{
    const ProfileFile file(m_dir.file(QStringLiteral("brak.gmd")));
    QCOMPARE(file.ReadText(QStringLiteral("config"), QStringLiteral("a"), QStringLiteral("domyślna")),
             QStringLiteral("domyślna"));
    QCOMPARE(file.ReadNumber(QStringLiteral("config"), QStringLiteral("a"), 7), 7);
    QVERIFY(!QFile::exists(file.fileName()));
}

void TestProfileFile::firstWriteCreatesExactlyTwoLines()
{
    ProfileFile file(m_dir.file(QStringLiteral("kategorie.gmd")));
    file.WriteNumber(QStringLiteral("config"), QStringLiteral("liczba_kategorii"), 1);
    QCOMPARE(m_dir.read(QStringLiteral("kategorie.gmd")), QByteArray("[config]\r\nliczba_kategorii=1\r\n"));
}

void TestProfileFile::newKeysFollowTheLastEntryAndNewSectionsGoLast()
{
    ProfileFile file(m_dir.file(QStringLiteral("order.gmd")));
    file.WriteText(QStringLiteral("kategorie"), QStringLiteral("0"), QStringLiteral("Monety"));
    file.WriteNumber(QStringLiteral("config"), QStringLiteral("liczba_kategorii"), 1);
    file.WriteText(QStringLiteral("kategorie"), QStringLiteral("1"), QStringLiteral("Odznaczenia"));
    file.WriteNumber(QStringLiteral("config"), QStringLiteral("liczba_kategorii"), 2);
    file.WriteNumber(QStringLiteral("config"), QStringLiteral("sprawdz_wersje"), 1);
    QCOMPARE(m_dir.read(QStringLiteral("order.gmd")),
             crlf({"[kategorie]", "0=Monety", "1=Odznaczenia", "[config]", "liczba_kategorii=2", "sprawdz_wersje=1"}));

    // Blank and other lines after a section's last entry stay after the new one.
    m_dir.write(QStringLiteral("gaps.gmd"), crlf({"[a]", "x=1", "", "; uwaga", "[b]", "y=2"}));
    ProfileFile gaps(m_dir.file(QStringLiteral("gaps.gmd")));
    gaps.WriteText(QStringLiteral("a"), QStringLiteral("z"), QStringLiteral("3"));
    gaps.WriteText(QStringLiteral("pusta"), QStringLiteral("k"), QString());
    QCOMPARE(m_dir.read(QStringLiteral("gaps.gmd")),
             crlf({"[a]", "x=1", "z=3", "", "; uwaga", "[b]", "y=2", "[pusta]", "k="}));
}

void TestProfileFile::rewritingKeepsThePlaceAndEveryOtherLine()
{
    m_dir.write(QStringLiteral("keep.gmd"), crlfCp1250({"; nagłówek bez sekcji", "[config]", "bez znaku równości",
                                                        "liczba=1", "  inny = 2 ", "[x]"}));
    ProfileFile file(m_dir.file(QStringLiteral("keep.gmd")));
    file.WriteText(QStringLiteral("config"), QStringLiteral("INNY"), QStringLiteral("nowa wartość"));
    QCOMPARE(m_dir.read(QStringLiteral("keep.gmd")),
             crlfCp1250(
                 {"; nagłówek bez sekcji", "[config]", "bez znaku równości", "liczba=1", "inny=nowa wartość", "[x]"}));
}

void TestProfileFile::writingAfterAnUnterminatedLastLine()
{
    m_dir.write(QStringLiteral("unterminated.gmd"), "[a]\r\nx=1");
    ProfileFile file(m_dir.file(QStringLiteral("unterminated.gmd")));
    file.WriteText(QStringLiteral("a"), QStringLiteral("y"), QStringLiteral("2"));
    QCOMPARE(m_dir.read(QStringLiteral("unterminated.gmd")), QByteArray("[a]\r\nx=1\r\ny=2\r\n"));

    m_dir.write(QStringLiteral("unterminated2.gmd"), "[a]\r\nx=1");
    ProfileFile second(m_dir.file(QStringLiteral("unterminated2.gmd")));
    second.WriteText(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("5"));
    QCOMPARE(m_dir.read(QStringLiteral("unterminated2.gmd")), QByteArray("[a]\r\nx=5"));
    second.WriteText(QStringLiteral("b"), QStringLiteral("k"), QStringLiteral("v"));
    QCOMPARE(m_dir.read(QStringLiteral("unterminated2.gmd")), QByteArray("[a]\r\nx=5\r\n[b]\r\nk=v\r\n"));
}

void TestProfileFile::lineEndsOfUntouchedLinesStay()
{
    m_dir.write(QStringLiteral("lf.gmd"), "[a]\nx=1\ny=2\n[b]\nz=3\n");
    ProfileFile file(m_dir.file(QStringLiteral("lf.gmd")));
    QCOMPARE(file.ReadText(QStringLiteral("a"), QStringLiteral("y"), QString()), QStringLiteral("2"));
    file.WriteText(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("9"));
    file.WriteText(QStringLiteral("b"), QStringLiteral("w"), QStringLiteral("4"));
    QCOMPARE(m_dir.read(QStringLiteral("lf.gmd")), QByteArray("[a]\nx=9\ny=2\n[b]\nz=3\nw=4\r\n"));
}

void TestProfileFile::readNumber_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "12" << 12;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("plus sign") << "+8" << 8;
    QTest::newRow("0x hexadecimal") << "0x1F" << 31;
    QTest::newRow("0X hexadecimal") << "0X1f" << 31;
    QTest::newRow("dollar hexadecimal") << "$1F" << 31;
    QTest::newRow("x hexadecimal") << "x1F" << 31;
    QTest::newRow("eight F digits") << "0xFFFFFFFF" << -1;
    QTest::newRow("$ eight F digits") << "$ffffffff" << -1;
    QTest::newRow("hexadecimal over 32 bits") << "0x100000000" << -99;
    QTest::newRow("minimum") << "-2147483648" << int(-2147483648LL);
    QTest::newRow("maximum") << "2147483647" << 2147483647;
    QTest::newRow("just over") << "2147483648" << -99;
    QTest::newRow("just under") << "-2147483649" << -99;
    QTest::newRow("trailing letter") << "12a" << -99;
    QTest::newRow("inner blank") << "1 2" << -99;
    QTest::newRow("empty") << "" << -99;
    QTest::newRow("blanks only") << "   " << -99;
    QTest::newRow("sign only") << "-" << -99;
    QTest::newRow("0x alone") << "0x" << -99;
    QTest::newRow("signed hexadecimal") << "-$1F" << -99;
    QTest::newRow("bad hexadecimal digit") << "0x1G" << -99;
    QTest::newRow("quoted") << "\"42\"" << 42;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("١٢") << -99;
}

void TestProfileFile::readNumber()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);
    ProfileFile file(m_dir.file(QStringLiteral("numbers.gmd")));
    m_dir.write(QStringLiteral("numbers.gmd"), "[config]\r\nn=" + stored.toUtf8() + "\r\n");
    QCOMPARE(file.ReadNumber(QStringLiteral("config"), QStringLiteral("n"), -99), expected);
}

void TestProfileFile::writeNumberWritesPlainDecimal()
{
    ProfileFile file(m_dir.file(QStringLiteral("writenumber.gmd")));
    file.WriteNumber(QStringLiteral("c"), QStringLiteral("a"), -42);
    file.WriteNumber(QStringLiteral("c"), QStringLiteral("b"), 0);
    file.WriteNumber(QStringLiteral("c"), QStringLiteral("m"), std::numeric_limits<int>::min());
    QCOMPARE(m_dir.read(QStringLiteral("writenumber.gmd")), crlf({"[c]", "a=-42", "b=0", "m=-2147483648"}));
    QCOMPARE(file.ReadNumber(QStringLiteral("c"), QStringLiteral("m"), 0), std::numeric_limits<int>::min());
}

void TestProfileFile::readText_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QByteArray("k=wartość") << QStringLiteral("wartość");
    QTest::newRow("blanks around key and value") << QByteArray(" \tk \t=  a b \t") << QStringLiteral("a b");
    QTest::newRow("empty value is not the default") << QByteArray("k=") << QString("");
    QTest::newRow("blanks only") << QByteArray("k=   ") << QString("");
    QTest::newRow("double quotes dropped") << QByteArray("k=\"  a  \"") << QStringLiteral("  a  ");
    QTest::newRow("single quotes dropped") << QByteArray("k='a'") << QStringLiteral("a");
    QTest::newRow("mixed quotes kept") << QByteArray("k=\"a'") << QStringLiteral("\"a'");
    QTest::newRow("lone quote kept") << QByteArray("k=\"") << QStringLiteral("\"");
    QTest::newRow("two quotes give empty") << QByteArray("k=\"\"") << QString("");
    QTest::newRow("equals in value") << QByteArray("k=a=b") << QStringLiteral("a=b");
}

void TestProfileFile::readText()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    QString value = QStringLiteral("default");
    m_dir.write(QStringLiteral("text.gmd"), "[s]\r\n" + line.replace("ść", "\x9c\xe6") + "\r\n");
    value = ProfileFile(m_dir.file(QStringLiteral("text.gmd"))).ReadText("s", "k", "default");
    QCOMPARE(value, expected);
    QVERIFY(!value.isNull());
}

void TestProfileFile::namesAreMatchedWithoutRegardToCase()
{
    ProfileFile file(m_dir.file(QStringLiteral("case.gmd")));
    file.WriteText(QStringLiteral("config"), QStringLiteral("liczba_kategorii"), QStringLiteral("3"));
    file.WriteText(QStringLiteral("zażółć"), QStringLiteral("gęślą"), QStringLiteral("jaźń"));
    QCOMPARE(file.ReadNumber(QStringLiteral("CONFIG"), QStringLiteral("Liczba_Kategorii"), 0), 3);
    QCOMPARE(file.ReadText(QStringLiteral("ZAŻÓŁĆ"), QStringLiteral("GĘŚLĄ"), QString()), QStringLiteral("jaźń"));
    file.WriteText(QStringLiteral("Config"), QStringLiteral("LICZBA_KATEGORII"), QStringLiteral("4"));
    QCOMPARE(m_dir.read(QStringLiteral("case.gmd")),
             crlfCp1250({"[config]", "liczba_kategorii=4", "[zażółć]", "gęślą=jaźń"}));
}

void TestProfileFile::firstOfTwoSectionsOrKeysCounts()
{
    m_dir.write(QStringLiteral("twice.gmd"), crlf({"[a]", "k=1", "k=2", "[A]", "k=3", "j=4"}));
    ProfileFile file(m_dir.file(QStringLiteral("twice.gmd")));
    QCOMPARE(file.ReadText("a", "k", ""), QStringLiteral("1"));
    QCOMPARE(file.ReadText("a", "j", "brak"), QStringLiteral("brak"));
    file.WriteText("a", "k", "5");
    QCOMPARE(m_dir.read(QStringLiteral("twice.gmd")), crlf({"[a]", "k=5", "k=2", "[A]", "k=3", "j=4"}));
}

// A file grows past the point where its sections are looked up by hash; two of its names share
// the hash that the lookup starts from.
void TestProfileFile::sectionsAreFoundInFilesOfAnySize()
{
    const QString name = m_dir.file(QStringLiteral("many.gmd"));
    ProfileFile file(name);
    file.WriteText("sekcja15219", "k", "1");
    file.WriteText("sekcja350424", "k", "2");
    for (int i = 0; i < 40; ++i) {
        file.WriteText(QStringLiteral("s%1").arg(i), "k", QString::number(i));
        QCOMPARE(file.ReadText("SEKCJA15219", "k", ""), QStringLiteral("1"));
        QCOMPARE(file.ReadText("sekcja350424", "k", ""), QStringLiteral("2"));
        QCOMPARE(file.ReadText(QStringLiteral("S%1").arg(i), "k", ""), QString::number(i));
        QCOMPARE(file.ReadText(QStringLiteral("s%1").arg(i + 1), "k", "brak"), QStringLiteral("brak"));
    }
    // Read anew from the disk, where later sections of the same names do not count, not even when
    // asked for right after the section they follow.
    m_dir.write(QStringLiteral("many.gmd"),
                m_dir.read(QStringLiteral("many.gmd")) + crlf({"[Sekcja350424]", "k=3", "[sekcja15219]", "k=4"}));
    QCOMPARE(ProfileFile(name).ReadText("s39", "k", ""), QStringLiteral("39"));
    QCOMPARE(ProfileFile(name).ReadText("sekcja350424", "k", ""), QStringLiteral("2"));
    QCOMPARE(ProfileFile(name).ReadText("sekcja15219", "k", ""), QStringLiteral("1"));
}

// Keys added inside long sections, ahead of other sections, with keys dropped among them: every
// lookup must find what a fresh reading of the bytes finds.
void TestProfileFile::lookupsStayRightWhileLongSectionsGrow()
{
    ProfileDocument document("[a]\r\n0=x\r\n\r\n[b]\r\n0=y\r\n[c]\r\nk=z\r\n");
    QRandomGenerator random(1234);
    const QByteArrayList sections{"a", "b", "c", "A"};
    for (int step = 0; step < 1500; ++step) {
        const QByteArray section = sections[random.bounded(3)];
        const QByteArray key = QByteArray::number(random.bounded(120));
        if (random.bounded(8) == 0)
            document.dropKey(section, key);
        else
            document.setValue(section, key, QByteArray::number(step));
        if (step % 50 != 49)
            continue;
        const ProfileDocument fresh(document.bytes());
        for (const QByteArray &name : sections) {
            for (int k = 0; k < 120; ++k) {
                const QByteArray wanted = QByteArray::number(k);
                QCOMPARE(document.value(name, wanted), fresh.value(name, wanted));
            }
            QCOMPARE(document.numberedKeys(name), fresh.numberedKeys(name));
        }
    }
    // Numbers past the file's line count are no list's positions.
    QCOMPARE(ProfileDocument("[x]\r\n5=a\r\n07=b\r\n99999=c\r\n\r\n\r\n\r\n").numberedKeys("x"), 6);
    QCOMPARE(ProfileDocument("[0]\r\n[3]\r\n[config]\r\n[4000000000]\r\n").numberedSections(), 4);
}

void TestProfileFile::longValuesAreCutTo2047Characters()
{
    ProfileFile file(m_dir.file(QStringLiteral("long.gmd")));
    QString value;
    for (int i = 0; i < 3000; ++i)
        value += QChar(u"aąbcćdeę"[i % 8]);
    file.WriteText("s", "k", value);
    QCOMPARE(file.ReadText("s", "k", ""), value.left(2047));
    file.WriteText("s", "q", "\"" + value + "\"");
    QCOMPARE(file.ReadText("s", "q", ""), value.left(2047));
}

void TestProfileFile::dropSectionTakesItsLinesOnly()
{
    m_dir.write(QStringLiteral("drop.gmd"), crlf({"[a]", "x=1", "", "; uwaga", "[b]", "y=2", "[c]", "z=3"}));
    ProfileFile file(m_dir.file(QStringLiteral("drop.gmd")));
    file.DropSection("B");
    QCOMPARE(m_dir.read(QStringLiteral("drop.gmd")), crlf({"[a]", "x=1", "", "; uwaga", "[c]", "z=3"}));
    file.DropSection("a");
    QCOMPARE(m_dir.read(QStringLiteral("drop.gmd")), crlf({"[c]", "z=3"}));
    file.DropSection("nie ma");
    file.DropSection("c");
    QCOMPARE(m_dir.read(QStringLiteral("drop.gmd")), QByteArray());
    QCOMPARE(file.ReadText("c", "z", "brak"), QStringLiteral("brak"));
}

void TestProfileFile::dropKey()
{
    m_dir.write(QStringLiteral("dropkey.gmd"), crlf({"[config]", "aktywna=Monety", "aktywna_id=0", "inna=1"}));
    ProfileFile file(m_dir.file(QStringLiteral("dropkey.gmd")));
    file.DropKey("config", "AKTYWNA_ID");
    file.DropKey("config", "aktywna");
    file.DropKey("config", "nie ma");
    file.DropKey("nie ma", "inna");
    QCOMPARE(m_dir.read(QStringLiteral("dropkey.gmd")), crlf({"[config]", "inna=1"}));

    // A key that cannot be dropped stays, and nothing is reported.
    ProfileFile missing(m_dir.file(QStringLiteral("brak/plik.gmd")));
    missing.DropKey("config", "inna");
}

void TestProfileFile::writeFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("missing folder") << "brak/kategorie.gmd" << false;
    QTest::newRow("read-only file") << "tylko-do-odczytu.gmd" << true;
    QTest::newRow("a folder in the file's place") << "folder.gmd" << false;
}

void TestProfileFile::writeFailures()
{
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    const QString fileName = m_dir.file(name);
    const QByteArray before("[config]\r\nliczba_kategorii=1\r\n");
    if (readOnly) {
        m_dir.write(name, before);
        QFile::setPermissions(fileName, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    }
    if (name == QLatin1String("folder.gmd"))
        QDir(m_dir.path()).mkdir(name);

    ProfileFile file(fileName);
    const auto attempt = [&](const std::function<void()> &write) {
        try {
            write();
            QFAIL("the write did not fail");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + fileName);
        }
    };
    attempt([&] { file.WriteText("config", "liczba_kategorii", "2"); });
    attempt([&] { file.WriteNumber("config", "nowy", 2); });
    attempt([&] { file.DropSection(readOnly ? "config" : "brak"); }); // nothing to drop is no excuse
    if (readOnly) {
        QCOMPARE(m_dir.read(name), before);
        QCOMPARE(file.ReadNumber("config", "liczba_kategorii", 0), 1);
        QFile::setPermissions(fileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

void TestProfileFile::valuesThatWouldBreakTheLineAreRefused()
{
    m_dir.write(QStringLiteral("refused.gmd"), crlf({"[s]", "k=1"}));
    ProfileFile file(m_dir.file(QStringLiteral("refused.gmd")));
    QVERIFY_THROWS_EXCEPTION(AppError, file.WriteText("s", "k", "a\r\n[config]"));
    QVERIFY_THROWS_EXCEPTION(AppError, file.WriteText("s", "k", "a\nb"));
    QVERIFY_THROWS_EXCEPTION(AppError, file.WriteText("s", "a=b", "1"));
    QVERIFY_THROWS_EXCEPTION(AppError, file.WriteText("s\n[x]", "k", "1"));
    QVERIFY_THROWS_EXCEPTION(AppError, file.WriteText("s", "k", QString::fromUtf16(u"a\u0000b", 3)));
    QCOMPARE(m_dir.read(QStringLiteral("refused.gmd")), crlf({"[s]", "k=1"}));
}

void TestProfileFile::multiline_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << QStringLiteral("Moneta srebrna");
    QTest::newRow("CR LF lines") << QStringLiteral("pierwsza\r\ndruga\r\n\r\nczwarta");
    QTest::newRow("lone LF") << QStringLiteral("a\nb\n");
    QTest::newRow("lone CR") << QStringLiteral("a\rb");
    QTest::newRow("blanks at the ends") << QStringLiteral("  wcięcie\t ");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("quoted") << QStringLiteral("\"cytat\"");
    QTest::newRow("single quoted") << QStringLiteral("'cytat'");
    QTest::newRow("quotes and line break") << QStringLiteral("\"a\r\nb\"");
    QTest::newRow("backslashes") << QStringLiteral("C:\\nowy\\r\\ \\\\ koniec\\");
    QTest::newRow("backslash and break") << QStringLiteral("C:\\nowy\r\n\\n");
    QTest::newRow("looks like a section") << QStringLiteral("x\r\n[config]\r\nliczba_pozycji=0");
    QTest::newRow("equals and brackets") << QStringLiteral("a=b [c]");
    QTest::newRow("Polish") << QStringLiteral("Zażółć gęślą jaźń\r\nŹdźbło");
}

void TestProfileFile::multiline()
{
    QFETCH(QString, typed);
    m_dir.write(QStringLiteral("multi.gmd"), crlf({"[0]", "pozycja1=a", "[config]", "liczba_pozycji=1"}));
    ProfileFile file(m_dir.file(QStringLiteral("multi.gmd")));
    file.WriteMultiline("0", "opis", typed);
    QCOMPARE(file.ReadMultiline("0", "opis"), typed);
    const QList<QByteArray> lines = m_dir.read(QStringLiteral("multi.gmd")).split('\n');
    QCOMPARE(lines.size(), 6); // four lines, the new entry, and nothing after the last line end
    QCOMPARE(file.ReadNumber("config", "liczba_pozycji", -1), 1);
    QCOMPARE(file.ReadMultiline("0", "brak"), QString());
}

void TestProfileFile::multilineReadsOlderPlainValuesAsTheyAre()
{
    m_dir.write(QStringLiteral("old.gmd"),
                crlf({"[0]", "opis=Moneta srebrna", "komentarz=C:\\nowy\\folder", "stary= 'w apostrofach' "}));
    const ProfileFile file(m_dir.file(QStringLiteral("old.gmd")));
    QCOMPARE(file.ReadMultiline("0", "opis"), QStringLiteral("Moneta srebrna"));
    QCOMPARE(file.ReadMultiline("0", "komentarz"), QStringLiteral("C:\\nowy\\folder"));
    QCOMPARE(file.ReadMultiline("0", "stary"), QStringLiteral("w apostrofach"));
}

void TestProfileFile::editWritesAllChangesOrNone()
{
    const QByteArray before = crlf({"[0]", "pozycja1=stara", "[config]", "liczba_pozycji=1"});
    m_dir.write(QStringLiteral("edit.gmd"), before);
    ProfileFile file(m_dir.file(QStringLiteral("edit.gmd")));
    const qint64 writes = ProfileStore::statistics().writes;
    file.Edit([](ProfileEdit &edit) {
        edit.WriteText("1", "pozycja1", "nowa");
        edit.WriteMultiline("1", "opis", "a\r\nb");
        edit.WriteNumber("config", "liczba_pozycji", 2);
        edit.DropSection("0");
    });
    QCOMPARE(ProfileStore::statistics().writes, writes + 1);
    QCOMPARE(m_dir.read(QStringLiteral("edit.gmd")),
             crlf({"[config]", "liczba_pozycji=2", "[1]", "pozycja1=nowa", "opis=\"a\\r\\nb\""}));

    // A refused change in the middle: nothing of the edit reaches the file or the readers.
    m_dir.write(QStringLiteral("edit.gmd"), before);
    QVERIFY_THROWS_EXCEPTION(AppError, file.Edit([](ProfileEdit &edit) {
        edit.WriteText("0", "pozycja1", "nowa");
        edit.WriteText("0", "pozycja2", QStringLiteral("日本"));
    }));
    QCOMPARE(m_dir.read(QStringLiteral("edit.gmd")), before);
    QCOMPARE(file.ReadText("0", "pozycja1", ""), QStringLiteral("stara"));
    QCOMPARE(ProfileFile(file.fileName()).ReadText("0", "pozycja1", ""), QStringLiteral("stara"));
}

void TestProfileFile::cachedReadsDoNotTouchTheFileAgain()
{
    ProfileFile file(m_dir.file(QStringLiteral("cache.gmd")));
    file.WriteText("s", "k", "1");
    const qint64 parses = ProfileStore::statistics().parses;
    for (int i = 0; i < 100; ++i)
        QCOMPARE(ProfileFile(file.fileName()).ReadText("s", "k", ""), QStringLiteral("1"));
    file.WriteText("s", "k", "2");
    QCOMPARE(file.ReadText("s", "k", ""), QStringLiteral("2"));
    QCOMPARE(ProfileStore::statistics().parses, parses);
}

// Another program (or the user's editor) changes a file between two commands.
void TestProfileFile::changesMadeOutsideAreSeen()
{
    const QString name = m_dir.file(QStringLiteral("outside.gmd"));
    ProfileFile(name).WriteText("s", "k", "1");
    QCOMPARE(ProfileFile(name).ReadText("s", "k", ""), QStringLiteral("1"));
    m_dir.write(QStringLiteral("outside.gmd"), crlf({"[s]", "k=2"})); // same size, same file
    QCOMPARE(ProfileFile(name).ReadText("s", "k", ""), QStringLiteral("2"));

    // A write starts from the file on disk, whoever wrote it last.
    ProfileFile file(name);
    (void)file.ReadText("s", "k", "");
    m_dir.write(QStringLiteral("outside.gmd"), crlf({"[s]", "k=3"}));
    file.WriteText("s", "j", "4");
    QCOMPARE(m_dir.read(QStringLiteral("outside.gmd")), crlf({"[s]", "k=3", "j=4"}));
    QCOMPARE(file.ReadText("s", "k", ""), QStringLiteral("3"));

    QFile::remove(name);
    QCOMPARE(ProfileFile(name).ReadText("s", "k", "brak"), QStringLiteral("brak"));
}

void TestProfileFile::objectsOnOneFileSeeEachOthersWrites()
{
    const QString name = m_dir.file(QStringLiteral("shared.gmd"));
    ProfileFile first(name);
    ProfileFile second(name);
    first.WriteText("s", "k", "1");
    QCOMPARE(second.ReadText("s", "k", ""), QStringLiteral("1"));
    second.WriteText("s", "k", "2");
    QCOMPARE(first.ReadText("s", "k", ""), QStringLiteral("2"));
    // The same file by another spelling of its name.
    ProfileFile third(m_dir.path() + QStringLiteral("./shared.gmd"));
    third.WriteText("s", "j", "3");
    QCOMPARE(first.ReadText("s", "j", ""), QStringLiteral("3"));
}

// An export reads each photo list once, on another thread, ahead of its walk.
void TestProfileFile::filesReadAheadAreReadOnceAndSeenAsWritten()
{
    m_dir.write(QStringLiteral("ahead_a.gmd"), crlf({"[s]", "k=1"}));
    m_dir.write(QStringLiteral("ahead_b.gmd"), crlf({"[s]", "k=2"}));
    const QString a = m_dir.file(QStringLiteral("ahead_a.gmd"));
    const QString b = m_dir.file(QStringLiteral("ahead_b.gmd"));
    const QString missing = m_dir.file(QStringLiteral("ahead_missing.gmd"));
    const ReadAhead ahead({a, missing, b});

    ProfileFile fileA(a);
    QCOMPARE(fileA.ReadText("s", "k", ""), QStringLiteral("1"));
    const qint64 parses = ProfileStore::statistics().parses;
    QCOMPARE(fileA.ReadText("s", "j", "brak"), QStringLiteral("brak"));
    QCOMPARE(ProfileStore::statistics().parses, parses);
    fileA.WriteText("s", "k", "3");
    QCOMPARE(fileA.ReadText("s", "k", ""), QStringLiteral("3"));
    QCOMPARE(ProfileFile(a).ReadText("s", "k", ""), QStringLiteral("3"));

    QCOMPARE(ProfileFile(missing).ReadText("s", "k", "brak"), QStringLiteral("brak"));
    ProfileFile fileB(b);
    QCOMPARE(fileB.ReadText("s", "k", ""), QStringLiteral("2"));
    // Changed by another program after it was read ahead.
    m_dir.write(QStringLiteral("ahead_b.gmd"), crlf({"[s]", "k=4"}));
    QCOMPARE(ProfileFile(b).ReadText("s", "k", ""), QStringLiteral("4"));
    QCOMPARE(fileA.ReadText("s", "k", ""), QStringLiteral("3"));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
