#include "store/Codepage.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "support/TestFiles.h"

#include <QTest>

namespace {

// Bytes that Windows-1250 leaves undefined.
bool isDefined(int byte)
{
    return byte != 0x81 && byte != 0x83 && byte != 0x88 && byte != 0x90 && byte != 0x98;
}

} // namespace

class TestCodepage : public QObject
{
    Q_OBJECT

private slots:
    void everyDefinedByteRoundTrips();
    void polishLettersHaveTheirWindowsBytes();
    void textOutsideTheCodePageIsRefusedBeforeWriting_data();
    void textOutsideTheCodePageIsRefusedBeforeWriting();
    void foldCaseCoversPolishLetters();
    void searchFoldingDropsCaseAndMarks_data();
    void searchFoldingDropsCaseAndMarks();

private:
    TestDir m_dir;
};

void TestCodepage::everyDefinedByteRoundTrips()
{
    QByteArray bytes;
    for (int b = 0x20; b <= 0xFF; ++b) {
        if (isDefined(b))
            bytes += char(b);
    }
    const QString text = Codepage::decode(bytes);
    QCOMPARE(text.size(), bytes.size());
    QCOMPARE(Codepage::encode(text), bytes);

    // Through a file: the bytes on disk are the code page's, and they read back as the same text.
    ProfileFile file(m_dir.file(QStringLiteral("all.gmd")));
    file.WriteText("s", "k", "<" + text + ">");
    QCOMPARE(m_dir.read(QStringLiteral("all.gmd")), "[s]\r\nk=<" + bytes + ">\r\n");
    QCOMPARE(file.ReadText("s", "k", ""), "<" + text + ">");
    file.WriteMultiline("s", "opis", text + "\r\n" + text);
    QCOMPARE(file.ReadMultiline("s", "opis"), text + "\r\n" + text);
}

void TestCodepage::polishLettersHaveTheirWindowsBytes()
{
    QCOMPARE(Codepage::encode(QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ€")),
             QByteArray("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\x80"));
}

void TestCodepage::textOutsideTheCodePageIsRefusedBeforeWriting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("Japanese") << QStringLiteral("Monety 日本") << QStringLiteral("\"日\" (U+65E5)");
    QTest::newRow("emoji") << QStringLiteral("Kolekcja 😀!") << QStringLiteral("\"😀\" (U+1F600)");
    QTest::newRow("Latin-1 letter not in Windows-1250") << QStringLiteral("Ãbc") << QStringLiteral("\"Ã\" (U+00C3)");
    QTest::newRow("Cyrillic") << QStringLiteral("Рубль") << QStringLiteral("\"Р\" (U+0420)");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QStringLiteral("U+D800");
    QTest::newRow("NUL") << QString::fromUtf16(u"a\u0000b", 3) << QStringLiteral("U+0000");
}

void TestCodepage::textOutsideTheCodePageIsRefusedBeforeWriting()
{
    QFETCH(QString, text);
    QFETCH(QString, named);
    QVERIFY(!Codepage::tryEncode(text));
    QVERIFY2(Codepage::unencodableMessage(text).contains(named), qPrintable(Codepage::unencodableMessage(text)));

    const QByteArray before("[s]\r\nk=stara\r\n");
    m_dir.write(QStringLiteral("refuse.gmd"), before);
    ProfileFile file(m_dir.file(QStringLiteral("refuse.gmd")));
    for (const auto &write : std::initializer_list<std::function<void()>>{
             [&] { file.WriteText("s", "k", text); }, [&] { file.WriteText("s", text, "x"); },
             [&] { file.WriteText(text, "k", "x"); }, [&] { file.WriteMultiline("s", "k", text); }}) {
        try {
            write();
            QFAIL("the text was written");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains(named), qPrintable(error.message()));
        }
    }
    QCOMPARE(m_dir.read(QStringLiteral("refuse.gmd")), before);
    QCOMPARE(file.ReadText("s", text, "brak"), QStringLiteral("brak"));
}

void TestCodepage::foldCaseCoversPolishLetters()
{
    const QByteArray upper = Codepage::encode(QStringLiteral("ĄĆĘŁŃÓŚŹŻABZ"));
    const QByteArray lower = Codepage::encode(QStringLiteral("ąćęłńóśźżabz"));
    for (qsizetype i = 0; i < upper.size(); ++i)
        QCOMPARE(Codepage::foldCase(upper[i]), Codepage::foldCase(lower[i]));
    QVERIFY(Codepage::foldCase('1') != Codepage::foldCase('!'));
}

void TestCodepage::searchFoldingDropsCaseAndMarks_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("alike");
    QTest::newRow("every Polish letter") << "acelnoszzACELNOSZZ" << "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ" << true;
    QTest::newRow("city") << "lodz" << "Łódź" << true;
    QTest::newRow("other marks") << "cusaat" << "čůšäâť" << true;
    QTest::newRow("digits and signs stay") << "1-2" << "1_2" << false;
    QTest::newRow("no letter becomes another") << "l" << "t" << false;
}

void TestCodepage::searchFoldingDropsCaseAndMarks()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, alike);
    QByteArray bytes = Codepage::encode(stored);
    Codepage::searchFold(bytes);
    QCOMPARE(Codepage::searchFolded(typed) == bytes, alike);
    QVERIFY(!Codepage::searchFolded(u"€ ☃"));
}

QTEST_GUILESS_MAIN(TestCodepage)
#include "tst_codepage.moc"
