#include "exchange/CsvImport.h"
#include "exchange/SpreadsheetExport.h"
#include "items/ItemStore.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "support/TestCatalogue.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTest>

using CsvReader::Encoding;

namespace {

using Rows = QList<QStringList>;
using Files = QMap<QString, QByteArray>;

Files snapshot(const TestDir &dir)
{
    Files files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        files.insert(name, dir.read(name));
    return files;
}

// Every field between quotation marks, as a spreadsheet writes text that needs them.
QByteArray csv(const Rows &rows, QChar separator, Encoding encoding)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString cell : row)
            cells << QLatin1Char('"') + cell.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
        text += cells.join(separator) + QLatin1String("\r\n");
    }
    return encoding == Encoding::Utf8 ? text.toUtf8() : Codepage::encode(text);
}

const ItemStore::Place place(const TestDir &dir)
{
    return {dir.path(), QStringLiteral("Monety"), QStringLiteral("Polska")};
}

// Monety/Polska with the field names given and two items, the second of which has a photo list.
void layCatalogue(const TestDir &dir, const QStringList &fields)
{
    writeCatalogue(dir, {{"Monety", "Polska", fields, {{"stara"}, {"druga"}}}});
    ItemStore::setPhotos(place(dir), 1, {"C:\\stare.jpg"});
}

int import(const TestDir &dir, const QByteArray &bytes, const QList<int> &targets, bool header = true)
{
    dir.write("plik.csv", bytes);
    const CsvImport::Source source = CsvImport::load(dir.file("plik.csv"));
    return CsvImport::run(place(dir), source, {source.encoding, source.separator, header, targets});
}

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void proposedTargets_data();
    void proposedTargets();
    void valuesComeBackExactly_data();
    void valuesComeBackExactly();
    void fieldNames_data();
    void fieldNames();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void exportComesBackThroughImport_data();
    void exportComesBackThroughImport();
};

void TestCsvImport::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("semicolon, UTF-8 with its mark, CR LF")
        << QByteArray("\xEF\xBB\xBFNazwa;Rok\r\nZ\xC5\x82oty;1934\r\n") << Encoding::Utf8 << QChar(';')
        << Rows{{"Nazwa", "Rok"}, {"Złoty", "1934"}};
    QTest::newRow("comma, UTF-8 without a mark, LF, quotes")
        << QByteArray("a,b\n\"x, y\",\"rzek\xC5\x82 \"\"tak\"\"\"\n") << Encoding::Utf8 << QChar(',')
        << Rows{{"a", "b"}, {"x, y", "rzekł \"tak\""}};
    QTest::newRow("tab, Windows-1250, a line break inside")
        << QByteArray("Nazwa\tOpis\r\n\xA3\xF3\x64\x9F\t\"raz\r\ndwa\"\r\n") << Encoding::Windows1250 << QChar('\t')
        << Rows{{"Nazwa", "Opis"}, {"Łódź", "raz\r\ndwa"}};
    QTest::newRow("separators inside quotes do not count")
        << QByteArray("\"a;b;c\",d,e\n\"f;g\",h,i") << Encoding::Utf8 << QChar(',')
        << Rows{{"a;b;c", "d", "e"}, {"f;g", "h", "i"}};
    QTest::newRow("empty fields, a blank line, no line end at the last")
        << QByteArray(";;\r\n\r\na;;\"\"") << Encoding::Utf8 << QChar(';') << Rows{{"", "", ""}, {"a", "", ""}};
    QTest::newRow("one column") << QByteArray("jeden\ndwa\n") << Encoding::Utf8 << QChar(';')
                                << Rows{{"jeden"}, {"dwa"}};
}

void TestCsvImport::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QFETCH(QChar, separator);
    QFETCH(Rows, rows);
    QCOMPARE(CsvReader::detectEncoding(bytes), encoding);
    const QString text = CsvReader::decode(bytes, encoding);
    QCOMPARE(CsvReader::detectSeparator(text), separator);
    QCOMPARE(CsvReader::parse(text, separator, "plik.csv").rows, rows);
    QCOMPARE(CsvReader::parse(text, separator, "plik.csv", 1).rows, rows.mid(0, 1));
}

void TestCsvImport::proposedTargets_data()
{
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QList<int>>("targets");

    const QStringList fields{"Nominał", "Rok", "", "Stan"};
    QTest::newRow("names matched without regard to case, the rest in order")
        << QStringList{"zdjęcia", "Inne", "ROK", "Opis", "Komentarz", "Nominał "} << fields
        << QList<int>{CsvImport::Photos, 2, 1, CsvImport::Description, CsvImport::Comment, 0};
    QTest::newRow("no header: columns in order, past the tenth skipped")
        << QStringList() << fields << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, CsvImport::Skip};
    QTest::newRow("a name twice goes to its field once") << QStringList{"Rok", "Rok"} << fields << QList<int>{1, 0};
}

void TestCsvImport::proposedTargets()
{
    QFETCH(QStringList, header);
    QFETCH(QStringList, fields);
    QFETCH(QList<int>, targets);
    QCOMPARE(CsvImport::proposedTargets(header, fields, int(targets.size())), targets);
}

void TestCsvImport::valuesComeBackExactly_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("UTF-8, semicolon") << Encoding::Utf8 << QChar(';');
    QTest::newRow("Windows-1250, comma") << Encoding::Windows1250 << QChar(',');
    QTest::newRow("UTF-8, tab") << Encoding::Utf8 << QChar('\t');
}

// What a file holds is what the items hold after it, appended behind the items already there,
// the photos in their own lists and no photo list left over from before under a new number.
void TestCsvImport::valuesComeBackExactly()
{
    QFETCH(Encoding, encoding);
    QFETCH(QChar, separator);
    TestDir dir;
    layCatalogue(dir, {"Nazwa", "Rok"});
    ItemStore::setPhotos(place(dir), 2, {"C:\\obce.jpg"}); // beyond the count
    ItemStore::setPhotos(place(dir), 3, {"C:\\obce.jpg"});
    const QStringList odd{"Żółć; \"cytat\", a\tb", "  ", "\"w cudzysłowie\"", "", "ąęśćźżńłó ĄĘŚĆŹŻŃŁÓ"};
    const Rows rows{{"Nazwa", "Rok", "Opis", "Komentarz", "Zdjęcia"},
                    {odd[0], odd[1], "raz\r\ndwa;\r\n\"trzy\"", odd[2], "C:\\a.jpg\r\nD:\\b ł.jpg"},
                    {odd[3], odd[4], "", "  spacje  ", ""}};
    QCOMPARE(import(dir, csv(rows, separator, encoding),
                    {0, 1, CsvImport::Description, CsvImport::Comment, CsvImport::Photos}),
             2);
    QCOMPARE(ProfileFile(place(dir).itemFile()).ReadNumber("config", "liczba_pozycji", 0), 4);
    QCOMPARE(ItemStore::read(place(dir), 0).fields.value(0), QStringLiteral("stara"));
    QCOMPARE(ItemStore::photos(place(dir), 1), QStringList{"C:\\stare.jpg"});
    for (int r = 1; r <= 2; ++r) {
        const ItemValues values = ItemStore::read(place(dir), r + 1);
        QCOMPARE(values.fields.mid(0, 2), rows[r].mid(0, 2));
        QCOMPARE(values.fields.mid(2), QStringList(8));
        QCOMPARE(values.description, rows[r][2]);
        QCOMPARE(values.comment, rows[r][3]);
    }
    QCOMPARE(ItemStore::photos(place(dir), 2), (QStringList{"C:\\a.jpg", "D:\\b ł.jpg"}));
    QVERIFY(!QFile::exists(place(dir).photoList(3)));
    QVERIFY(QDir(dir.path()).entryList({"*~gromadnik*", ".gromadnik-dziennik"}, QDir::Files | QDir::Hidden).isEmpty());
}

void TestCsvImport::fieldNames_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("set: kept") << QStringList{"Nominał", "", "Stan"} << true << QStringList{"Nominał", "", "Stan"};
    QTest::newRow("none: from the header") << QStringList() << true << QStringList{"Rok", "", "Kraj pochodzenia"};
    QTest::newRow("none, no header: numbered") << QStringList() << false << QStringList{"Pole 1", "", "Pole 3"};
}

void TestCsvImport::fieldNames()
{
    QFETCH(QStringList, before);
    QFETCH(bool, header);
    QFETCH(QStringList, after);
    TestDir dir;
    layCatalogue(dir, before);
    import(dir, "Rok;Opis;\"  Kraj  pochodzenia \"\r\n1934;srebrna;PL\r\n", {0, CsvImport::Description, 2}, header);
    after.resize(10);
    QCOMPARE(CsvImport::fieldNames(place(dir)), after);
}

void TestCsvImport::refusedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("targets");
    QTest::addColumn<QString>("message");

    const QList<int> plain{0, 1, CsvImport::Description};
    QTest::newRow("a quote never closed") << QByteArray("Nazwa;Rok;Opis\r\na;1;\"b\r\nc;2;d\r\n") << plain
                                          << "cudzysłów otwarty w wierszu 2 nie został zamknięty";
    QTest::newRow("a character Windows-1250 lacks") << QByteArray("Nazwa;Rok;Opis\r\na;1;b\r\nc;\xD0\x96;d\r\n")
                                                    << plain << "Wiersz 3, kolumna 2 (\"Rok\"): Znak \"Ж\" (U+0416)";
    QTest::newRow("the same lack in a photo path")
        << QByteArray("Nazwa;Rok;Opis\r\na;1;\"C:\\\xD0\x96.jpg\"\r\n") << QList<int>{0, 1, CsvImport::Photos}
        << "Wiersz 2, kolumna 3 (\"Opis\"): Znak \"Ж\"";
    QTest::newRow("a line break in a field") << QByteArray("Nazwa;Rok;Opis\r\n\"a\nb\";1;c\r\n") << plain
                                             << "Wiersz 2, kolumna 1 (\"Nazwa\"): pole nie może zawierać końca wiersza";
    QTest::newRow("a value too long") << "Nazwa;Rok;Opis\r\na;" + QByteArray(2048, '9') + ";c\r\n"
                                      << plain
                                      << "Wiersz 2, kolumna 2 (\"Rok\"): wartość zajęłaby w pliku katalogu 2048 znaków";
    QTest::newRow("two columns to one field") << QByteArray("Nazwa;Rok;Opis\r\na;1;c\r\n") << QList<int>{0, 1, 1}
                                              << "Kolumny 2 i 3 mają trafić w to samo miejsce";
    QTest::newRow("a damaged count") << QByteArray("Nazwa;Rok;Opis\r\na;1;c\r\n") << plain
                                     << "Liczba pozycji \"dwa\" zapisana w pliku";
}

void TestCsvImport::refusedFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, targets);
    QFETCH(QString, message);
    TestDir dir;
    layCatalogue(dir, {});
    if (QByteArray(QTest::currentDataTag()) == "a damaged count")
        dir.write("Monety_Polska_dane.gmd", crlf({"[config]", "liczba_pozycji=dwa"}));
    dir.write("plik.csv", bytes);
    const Files before = snapshot(dir);
    try {
        import(dir, bytes, targets);
        QFAIL("imported");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        QVERIFY(error.message().endsWith(QStringLiteral("Niczego nie zaimportowano.")));
    }
    QCOMPARE(snapshot(dir), before);
}

void TestCsvImport::exportComesBackThroughImport_data()
{
    QTest::addColumn<CsvWriter::Encoding>("encoding");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("UTF-8, semicolon") << CsvWriter::Encoding::Utf8WithBom << QChar(';');
    QTest::newRow("Windows-1250, comma") << CsvWriter::Encoding::Windows1250 << QChar(',');
}

// A subcategory exported and imported into an empty one holds the same values and photo lists,
// byte for byte: line breaks of both kinds, quotes, both separators, Polish letters, empty fields.
void TestCsvImport::exportComesBackThroughImport()
{
    QFETCH(CsvWriter::Encoding, encoding);
    QFETCH(QChar, separator);
    TestDir dir;
    writeCatalogue(dir, {{"Monety", "Polska", {"Nominał", "Rok", "", "Stan"}, {}}, {"Monety", "Kopia", {}, {}}});
    const ItemStore::Place from = place(dir);
    const ItemStore::Place to{dir.path(), QStringLiteral("Monety"), QStringLiteral("Kopia")};
    const QList<ItemValues> items{
        {{"5 zł; \"Orzeł\", 1934", "1934", "", "I-", "", "", "", "", "", ""},
         "awers\r\nrewers; \"napis\"\r\n", "z Łodzi\nźdźbło ŻÓŁĆ", {}},
        {QStringList(10), "", "  spacje  ", {}},
        {{"", "", "", "", "", "", "", "", "", "ostatnie"}, "\"", ",;", {}},
    };
    for (const ItemValues &item : items)
        ItemStore::add(from, item);
    ItemStore::setPhotos(from, 0, {"C:\\Zdjęcia\\a.jpg", "D:\\b, c.jpg"});
    const QString file = dir.file("eksport.csv");
    QCOMPARE(SpreadsheetExport::writeCsv({dir.path(), SpreadsheetExport::Scope::Subcategory, from.category,
                                          from.subcategory},
                                         file, encoding, separator),
             qsizetype(items.size()));

    const CsvImport::Source source = CsvImport::load(file);
    QCOMPARE(source.separator, separator);
    const CsvReader::Table header = CsvImport::read(source, {source.encoding, source.separator, true, {}}, 1);
    QList<int> targets{CsvImport::Skip, CsvImport::Skip};
    targets += CsvImport::proposedTargets(header.rows.value(0).mid(2), {}, int(header.rows.value(0).size()) - 2);
    QCOMPARE(CsvImport::run(to, source, {source.encoding, source.separator, true, targets}), int(items.size()));

    for (int item = 0; item < items.size(); ++item) {
        const ItemValues back = ItemStore::read(to, item);
        QCOMPARE(back.fields, items[item].fields);
        QCOMPARE(back.description, items[item].description);
        QCOMPARE(back.comment, items[item].comment);
        QCOMPARE(ItemStore::photos(to, item), ItemStore::photos(from, item));
    }
    QCOMPARE(dir.read(QFileInfo(to.photoList(0)).fileName()), dir.read(QFileInfo(from.photoList(0)).fileName()));
    // The export heads an unnamed field that it carries "Pole N", and the header names the new fields.
    QStringList names{"Nominał", "Rok", "Pole 3", "Stan", "Pole 5", "Pole 6", "Pole 7", "Pole 8", "Pole 9", "Pole 10"};
    QCOMPARE(CsvImport::fieldNames(to), names);
}

QTEST_GUILESS_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
