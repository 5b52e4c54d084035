#include "categories/CategoryStore.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

using Exchange::Writing;

namespace {

QStringList numbered(const QString &prefix, int from, int to)
{
    QStringList lines;
    for (int k = from; k <= to; ++k)
        lines << prefix + QString::number(k) + QLatin1Char('=');
    return lines;
}

QStringList linesOf(const QByteArray &bytes)
{
    QStringList lines = Codepage::decode(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Every file of a folder with its bytes, so that "nothing changed" compares whole folders.
QMap<QString, QByteArray> snapshot(const QString &path)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(path).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QDir(path).filePath(name));
        file.open(QIODevice::ReadOnly);
        files.insert(name, file.readAll());
    }
    return files;
}

void writeWorkedExample(const TestDir &dir)
{
    dir.write("kategorie.gmd",
              crlf({"[kategorie]", "0=Monety", "1=Odznaczenia", "[config]", "liczba_kategorii=2", "sprawdz_wersje=1"}));
    dir.write("Monety_podkategorie.gmd", crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
    dir.write("Monety_Polska_dane.gmd",
              crlfCp1250(QStringList{"[pozycje]", "1=Nominał", "2=Rok", "3=Stan"} + numbered("", 4, 10) +
                         QStringList{"[0]", "pozycja1=5 złotych", "pozycja2=1934", "pozycja3=dobry"} +
                         numbered("pozycja", 4, 10) +
                         QStringList{"opis=Moneta srebrna", "komentarz=Kupiona na giełdzie", "[config]",
                                     "liczba_pozycji=1", "aktualne_zdjecie=0"}));
    dir.write("Monety_Polska_0.gmd", crlf({"[zdjecia]", "0=C:\\Zdjecia\\awers.jpg", "1=C:\\Zdjecia\\rewers.jpg",
                                           "[config]", "liczba_zdjec=2"}));
}

// A catalogue made through the item operations: Polish letters in names, text over several lines,
// an item without photos, a subcategory without field names, a category without subcategories.
void writeRichCatalogue(const QString &dir)
{
    ProfileFile categories(CatalogueFiles::categoryList(dir));
    for (const QString &name : {QStringLiteral("Żetony łódzkie"), QStringLiteral("Pusta")})
        KeyedList::categories.append(categories, name);
    ProfileFile subcategories(CatalogueFiles::subcategoryList(dir, QStringLiteral("Żetony łódzkie")));
    for (const QString &name : {QStringLiteral("Ćmielów"), QStringLiteral("Bez nazw")})
        KeyedList::subcategories.append(subcategories, name);
    ProfileFile(CatalogueFiles::itemFile(dir, QStringLiteral("Żetony łódzkie"), QStringLiteral("Ćmielów")))
        .WriteText(QStringLiteral("pozycje"), QStringLiteral("1"), QStringLiteral("Nazwa"));
    for (const QString &sub : {QStringLiteral("Ćmielów"), QStringLiteral("Bez nazw")}) {
        const ItemStore::Place place{dir, QStringLiteral("Żetony łódzkie"), sub};
        ItemValues first;
        first.fields[0] = QStringLiteral("żeton \"A\" = 1 zł");
        first.description = QStringLiteral("Pierwszy wiersz\r\n  drugi \\ wiersz \"cytat\"\r\n");
        first.comment = QStringLiteral(" z odstępami ");
        const int item = ItemStore::add(place, first);
        ItemStore::addPhoto(place, item, QStringLiteral("C:\\Zdjęcia\\żeton.jpg"));
        ItemStore::addPhoto(place, item, QStringLiteral("/home/zbieracz/zdjęcia/rewers.bmp"));
        ItemStore::add(place, ItemValues()); // no photos
    }
}

QByteArray exported(const QString &dir, const QString &file, Writing writing = Writing::Batched)
{
    Export::run(dir, file, {}, writing);
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The export of the worked example, as a sound source to damage.
QByteArray workedExampleExport()
{
    const TestDir dir;
    writeWorkedExample(dir);
    return exported(dir.path(), dir.file("e.txt"));
}

// The export of a catalogue that holds only these lists, written as they are, past every name check.
QByteArray exportOfLists(const QList<std::pair<QString, QStringList>> &categories)
{
    const TestDir dir;
    QStringList names;
    for (const auto &[category, subcategories] : categories) {
        names.append(category);
        if (!subcategories.isEmpty())
            CategoryStore::writeSubcategories(dir.path(), category, subcategories);
    }
    CategoryStore::writeCategories(dir.path(), names);
    return exported(dir.path(), dir.file("e.txt"));
}

QByteArray replaced(QByteArray bytes, const QByteArray &what, const QByteArray &with)
{
    Q_ASSERT(bytes.contains(what));
    return bytes.replace(what, with);
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleExportsLineForLine();
    void workedExampleImportsIntoAnEmptyFolder();
    void emptyCatalogueExportsItsSettings();
    void roundTripKeepsEverything();
    void batchedWritingEqualsValueByValue();
    void exportMergesIntoAnExistingFile();
    void nonNumericCountsReadAsZero();
    void stoppedExportWritesNothing();
    void failedExportWriteNamesTheFile_data();
    void failedExportWriteNamesTheFile();
    void badSourceIsRefusedBeforeWriting_data();
    void badSourceIsRefusedBeforeWriting();
    void exportWritesTheCountOfWhatItWrites_data();
    void exportWritesTheCountOfWhatItWrites();
    void importMergesByPosition();
    void failedImportWriteNamesTheFile();
    void failedBackgroundWriteStopsTheImport();
};

void TestExchange::workedExampleExportsLineForLine()
{
    TestDir dir;
    writeWorkedExample(dir);
    const QMap<QString, QByteArray> catalogue = snapshot(dir.path());
    TestDir out;
    const QStringList expected =
        QStringList{"[kategorie.gmd_config]",
                    "liczba_kategorii=2",
                    "sposob=0",
                    "sprawdz_wersje=1",
                    "przezroczystosc=0",
                    "[kategorie.gmd_kategorie]",
                    "0=Monety",
                    "1=Odznaczenia",
                    "[Monety_podkategorie.gmd_config]",
                    "liczba_podkategorii=1",
                    "[Monety_podkategorie.gmd_podkategorie]",
                    "0=Polska",
                    "[Monety_Polska_dane.gmd_config]",
                    "liczba_pozycji=1",
                    "[Monety_Polska_dane.gmd_pozycje]",
                    "1=Nominał",
                    "2=Rok",
                    "3=Stan"} +
        numbered("", 4, 10) +
        QStringList{"[Monety_Polska_dane.gmd_0]", "pozycja1=5 złotych", "pozycja2=1934", "pozycja3=dobry"} +
        numbered("pozycja", 4, 10) +
        QStringList{"opis=Moneta srebrna",           "komentarz=Kupiona na giełdzie",
                    "[Monety_Polska_0.gmd_config]",  "liczba_zdjec=2",
                    "[Monety_Polska_0.gmd_zdjecia]", "0=C:\\Zdjecia\\awers.jpg",
                    "1=C:\\Zdjecia\\rewers.jpg",     "[Odznaczenia_podkategorie.gmd_config]",
                    "liczba_podkategorii=0"};
    QCOMPARE(linesOf(exported(dir.path(), out.file("gromadnik_eksport.txt"))), expected);
    QCOMPARE(snapshot(dir.path()), catalogue);                                   // only read
    QCOMPARE(snapshot(out.path()).keys(), QStringList{"gromadnik_eksport.txt"}); // no picture copied
}

void TestExchange::workedExampleImportsIntoAnEmptyFolder()
{
    TestDir dir;
    writeWorkedExample(dir);
    TestDir out;
    Export::run(dir.path(), out.file("e.txt"));
    TestDir target;
    Import::run(target.path(), out.file("e.txt"));

    const auto files = snapshot(target.path());
    QCOMPARE(files.keys(), QStringList({"Monety_Polska_0.gmd", "Monety_Polska_dane.gmd", "Monety_podkategorie.gmd",
                                        "Odznaczenia_podkategorie.gmd", "kategorie.gmd"}));
    QCOMPARE(linesOf(files["kategorie.gmd"]),
             QStringList({"[config]", "liczba_kategorii=2", "sposob=0", "sprawdz_wersje=1", "przezroczystosc=0",
                          "[kategorie]", "0=Monety", "1=Odznaczenia"}));
    QCOMPARE(linesOf(files["Monety_podkategorie.gmd"]),
             QStringList({"[config]", "liczba_podkategorii=1", "[podkategorie]", "0=Polska"}));
    QCOMPARE(linesOf(files["Odznaczenia_podkategorie.gmd"]), QStringList({"[config]", "liczba_podkategorii=0"}));
    const QStringList items =
        QStringList{"[config]", "liczba_pozycji=1", "[pozycje]", "1=Nominał", "2=Rok", "3=Stan"} + numbered("", 4, 10) +
        QStringList{"[0]", "pozycja1=5 złotych", "pozycja2=1934", "pozycja3=dobry"} + numbered("pozycja", 4, 10) +
        QStringList{"opis=Moneta srebrna", "komentarz=Kupiona na giełdzie"};
    QCOMPARE(linesOf(files["Monety_Polska_dane.gmd"]), items);
    QCOMPARE(linesOf(files["Monety_Polska_0.gmd"]),
             QStringList(
                 {"[config]", "liczba_zdjec=2", "[zdjecia]", "0=C:\\Zdjecia\\awers.jpg", "1=C:\\Zdjecia\\rewers.jpg"}));
}

void TestExchange::emptyCatalogueExportsItsSettings()
{
    TestDir dir;
    QCOMPARE(linesOf(exported(dir.path(), dir.file("e.txt"))),
             QStringList({"[kategorie.gmd_config]", "liczba_kategorii=0", "sposob=0", "sprawdz_wersje=0",
                          "przezroczystosc=0"}));
}

void TestExchange::roundTripKeepsEverything()
{
    TestDir dir;
    writeRichCatalogue(dir.path());
    TestDir out;
    const QByteArray first = exported(dir.path(), out.file("e.txt"));
    QVERIFY(first.contains(Codepage::encode(QStringLiteral("[Żetony łódzkie_Bez nazw_dane.gmd_pozycje]"))));
    TestDir target;
    Import::run(target.path(), out.file("e.txt"));
    QCOMPARE(exported(target.path(), out.file("again.txt")), first);

    const ItemStore::Place place{target.path(), QStringLiteral("Żetony łódzkie"), QStringLiteral("Ćmielów")};
    const ItemValues item = ItemStore::read(place, 0);
    QCOMPARE(item.fields[0], QStringLiteral("żeton \"A\" = 1 zł"));
    QCOMPARE(item.description, QStringLiteral("Pierwszy wiersz\r\n  drugi \\ wiersz \"cytat\"\r\n"));
    QCOMPARE(item.comment, QStringLiteral(" z odstępami "));
    QCOMPARE(ItemStore::photos(place, 0), QStringList({"C:\\Zdjęcia\\żeton.jpg", "/home/zbieracz/zdjęcia/rewers.bmp"}));
    // An item without photos still gets its photo list, with nothing in it.
    QCOMPARE(linesOf(target.read(QStringLiteral("Żetony łódzkie_Ćmielów_1.gmd"))),
             QStringList({"[config]", "liczba_zdjec=0"}));
}

void TestExchange::batchedWritingEqualsValueByValue()
{
    TestDir dir;
    writeRichCatalogue(dir.path());
    writeWorkedExample(dir); // replaces the category list: both catalogues' files lie side by side
    ProfileFile categories(CatalogueFiles::categoryList(dir.path()));
    KeyedList::categories.append(categories, QStringLiteral("Żetony łódzkie"));

    // Into files that already hold something: an older export, an older catalogue.
    TestDir out;
    const QByteArray older = crlf({"[kategorie.gmd_config]", "liczba_kategorii=7", "inny=1", "", "[obcy]", "a=b",
                                   "[kategorie.gmd_kategorie]", "0=Stara", "5=Dawna"});
    out.write("batched.txt", older);
    out.write("plain.txt", older);
    const QByteArray batched = exported(dir.path(), out.file("batched.txt"));
    QCOMPARE(batched, exported(dir.path(), out.file("plain.txt"), Writing::ValueByValue));

    TestDir intoBatched;
    TestDir intoPlain;
    for (const TestDir *target : {&intoBatched, &intoPlain}) {
        target->write("kategorie.gmd", crlf({"[kategorie]", "0=Monety", "1=A", "2=B", "3=C", "[config]",
                                             "liczba_kategorii=4", "aktywna=1"}));
        target->write("Monety_Polska_dane.gmd", crlf({"[0]", "pozycja1=x", "zdjecie=a.jpg", "", "[config]",
                                                      "liczba_pozycji=9", "aktualne_zdjecie=3"}));
    }
    Import::run(intoBatched.path(), out.file("batched.txt"));
    Import::run(intoPlain.path(), out.file("batched.txt"), {}, Writing::ValueByValue);
    QCOMPARE(snapshot(intoBatched.path()), snapshot(intoPlain.path()));
    QVERIFY(intoBatched.read("Monety_Polska_dane.gmd").contains("aktualne_zdjecie=3"));
}

void TestExchange::exportMergesIntoAnExistingFile()
{
    TestDir dir;
    writeWorkedExample(dir);
    TestDir out;
    out.write("e.txt",
              crlf({"[obcy]", "klucz=wartosc", "[kategorie.gmd_kategorie]", "0=Stara", "1=Stara2", "2=Trzecia"}));
    const QByteArray once = exported(dir.path(), out.file("e.txt"));
    QCOMPARE(exported(dir.path(), out.file("e.txt")), once); // twice: one copy of each section
    const QStringList lines = linesOf(once);
    QCOMPARE(lines.mid(0, 2), QStringList({"[obcy]", "klucz=wartosc"}));
    QCOMPARE(lines.mid(2, 4), QStringList({"[kategorie.gmd_kategorie]", "0=Monety", "1=Odznaczenia", "2=Trzecia"}));
    QCOMPARE(lines.count(QStringLiteral("[kategorie.gmd_config]")), 1);

    // A foreign last line without its line break, after all that the export writes: still a whole
    // export, which the import takes.
    out.write("e.txt", once + "[obcy2]\r\nklucz=bez konca wiersza");
    exported(dir.path(), out.file("e.txt"));
    QVERIFY(out.read("e.txt").endsWith("bez konca wiersza"));
    TestDir target;
    Import::run(target.path(), out.file("e.txt"));
    QCOMPARE(ProfileFile(target.file("kategorie.gmd")).ReadNumber("config", "liczba_kategorii", 0), 2);
}

void TestExchange::nonNumericCountsReadAsZero()
{
    TestDir dir;
    dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "1=B", "[config]", "liczba_kategorii=2"}));
    dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=X", "[config]", "liczba_podkategorii=jeden"}));
    dir.write("B_podkategorie.gmd", crlf({"[podkategorie]", "0=Y", "[config]", "liczba_podkategorii=1"}));
    dir.write("B_Y_dane.gmd", crlf({"[0]", "pozycja1=p", "[config]", "liczba_pozycji=1"}));
    dir.write("B_Y_0.gmd", crlf({"[zdjecia]", "0=a.jpg", "[config]", "liczba_zdjec=1x"}));
    const QStringList lines = linesOf(exported(dir.path(), dir.file("e.txt")));
    QVERIFY(lines.contains("liczba_podkategorii=jeden"));
    QVERIFY(!lines.contains("[A_podkategorie.gmd_podkategorie]"));
    QVERIFY(lines.contains("liczba_zdjec=1x"));
    QVERIFY(!lines.contains("[B_Y_0.gmd_zdjecia]"));

    TestDir target;
    Import::run(target.path(), dir.file("e.txt"));
    QCOMPARE(linesOf(target.read("A_podkategorie.gmd")), QStringList({"[config]", "liczba_podkategorii=jeden"}));
    QVERIFY(!QFile::exists(target.file("A_X_dane.gmd")));
}

void TestExchange::stoppedExportWritesNothing()
{
    TestDir dir;
    writeRichCatalogue(dir.path());
    int calls = 0;
    QVERIFY(!Export::run(dir.path(), dir.file("e.txt"), [&](int) { return ++calls < 2; }));
    QVERIFY(!QFile::exists(dir.file("e.txt")));
    QList<int> reported;
    QVERIFY(Export::run(dir.path(), dir.file("e.txt"), [&](int done) {
        reported.append(done);
        return true;
    }));
    QVERIFY(std::is_sorted(reported.begin(), reported.end()));
    QCOMPARE(reported.first(), 0);
    QCOMPARE(reported.last(), Exchange::scale);
}

void TestExchange::failedExportWriteNamesTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only file") << "e.txt" << true;
    QTest::newRow("missing folder") << "brak/e.txt" << false;
}

void TestExchange::failedExportWriteNamesTheFile()
{
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    TestDir dir;
    writeWorkedExample(dir);
    TestDir out;
    if (readOnly) {
        out.write(name, "[x]\r\na=1\r\n");
        QFile::setPermissions(out.file(name), QFileDevice::ReadOwner);
    }
    const auto before = snapshot(out.path());
    try {
        Export::run(dir.path(), out.file(name));
        QFAIL("the export reported success");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + out.file(name));
    }
    QCOMPARE(snapshot(out.path()), before);
}

void TestExchange::badSourceIsRefusedBeforeWriting_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray() << "Nie można odczytać pliku";
    QTest::newRow("empty file") << QByteArray("") << "nie zawiera danych wyeksportowanych";
    QTest::newRow("another text") << crlf({"Lista zakupów", "[config]", "liczba_kategorii=1"})
                                  << "nie zawiera danych wyeksportowanych";
    QTest::newRow("count not a number") << crlf({"[kategorie.gmd_config]", "liczba_kategorii=dwie"})
                                        << "nie zawiera danych wyeksportowanych";
    QTest::newRow("category leading out")
        << crlf({"[kategorie.gmd_config]", "liczba_kategorii=2", "sposob=0", "sprawdz_wersje=0", "przezroczystosc=0",
                 "[kategorie.gmd_kategorie]", "0=Dobra", "1=../../x"})
        << "nazwę kategorii \"../../x\"";
    QTest::newRow("subcategory with a colon")
        << crlfCp1250({"[kategorie.gmd_config]", "liczba_kategorii=1", "sposob=0", "sprawdz_wersje=0",
                       "przezroczystosc=0", "[kategorie.gmd_kategorie]", "0=Dobra", "[Dobra_podkategorie.gmd_config]",
                       "liczba_podkategorii=2", "[Dobra_podkategorie.gmd_podkategorie]", "0=Też dobra", "1=C:x"})
        << "nazwę podkategorii \"C:x\"";
    QTest::newRow("empty category name") << crlf({"[kategorie.gmd_config]", "liczba_kategorii=1", "sposob=0",
                                                  "sprawdz_wersje=0", "przezroczystosc=0", "[kategorie.gmd_kategorie]",
                                                  "0="})
                                         << "nazwę kategorii \"\"";

    const QByteArray whole = workedExampleExport();
    QTest::newRow("items beyond the file")
        << replaced(whole, "liczba_pozycji=1", "liczba_pozycji=2147483647")
        << "w sekcji [Monety_Polska_dane.gmd_1] brakuje klucza \"pozycja1\", choć liczba_pozycji=2147483647";
    QTest::newRow("negative category count")
        << replaced(whole, "liczba_kategorii=2", "liczba_kategorii=-1")
        << "w sekcji [kategorie.gmd_config] klucz \"liczba_kategorii\" podaje ujemną";
    QTest::newRow("negative photo count") << replaced(whole, "liczba_zdjec=2", "liczba_zdjec=-2")
                                          << "[Monety_Polska_0.gmd_config] klucz \"liczba_zdjec\" podaje ujemną";
    QTest::newRow("photo list shorter than its count") << replaced(whole, "liczba_zdjec=2", "liczba_zdjec=3")
                                                       << "w sekcji [Monety_Polska_0.gmd_zdjecia] brakuje klucza \"2\"";
    QTest::newRow("last line cut off")
        << whole.first(whole.lastIndexOf("liczba_podkategorii=0"))
        << "w sekcji [Odznaczenia_podkategorie.gmd_config] brakuje klucza \"liczba_podkategorii\"";
    QTest::newRow("cut inside the last line")
        << whole.chopped(3)
        << "jest ucięty: jego ostatni wiersz, klucz \"liczba_podkategorii\" w sekcji "
           "[Odznaczenia_podkategorie.gmd_config]";
    QTest::newRow("item section cut") << whole.first(whole.indexOf("opis="))
                                      << "[Monety_Polska_dane.gmd_0] brakuje klucza \"opis\"";
    const QByteArray utf8 = Codepage::decode(whole).toUtf8();
    QTest::newRow("UTF-8") << utf8 << "w kodowaniu UTF-8";
    QTest::newRow("UTF-8 with a byte-order mark")
        << "\xEF\xBB\xBF" + utf8 << "stoi w sekcji [Monety_Polska_dane.gmd_pozycje], w wierszu \"1=Nominał\"";
    QTest::newRow("categories differing only in case")
        << exportOfLists({{"Monety", {}}, {"MONETY", {}}}) << "jako \"Monety\"";
    QTest::newRow("two pairs sharing their files")
        << exportOfLists({{"X", {"Y_Z"}}, {"X_Y", {"z"}}}) << "X_Y_z_dane.gmd";
    const QString longName(100, QChar(0x0105));
    QTest::newRow("names too long together") << exportOfLists({{longName, {longName}}}) << "za długie";
    QTest::newRow("C1 control of a file in another code page")
        << QByteArray("[kategorie.gmd_config]\r\nliczba_kategorii=1\r\nsposob=0\r\nsprawdz_wersje=0\r\nprzezroczystosc="
                      "0\r\n[kategorie.gmd_kategorie]\r\n0=Monety\x81\r\n")
        << "sterujących";
}

void TestExchange::badSourceIsRefusedBeforeWriting()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, message);
    TestDir dir;
    writeWorkedExample(dir);
    const auto before = snapshot(dir.path());
    TestDir in;
    if (!source.isNull())
        in.write("e.txt", source);
    try {
        Import::run(dir.path(), in.file("e.txt"));
        QFAIL("the import reported success");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(snapshot(dir.path()), before);
    QCOMPARE(QDir(in.path()).entryList(QDir::Files), source.isNull() ? QStringList() : QStringList{"e.txt"});
}

void TestExchange::exportWritesTheCountOfWhatItWrites_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("exportedLine");
    QTest::addColumn<bool>("damaged");
    QByteArray items = "[0]\r\npozycja1=a\r\n[1]\r\n[2]\r\npozycja1=c\r\n[config]\r\nliczba_pozycji=2147483647\r\n";
    QTest::newRow("item count far beyond") << "Monety_Polska_dane.gmd" << items << "liczba_pozycji=3" << true;
    QByteArray many = "[config]\r\nliczba_pozycji=100001\r\n";
    for (int n = 0; n <= 100000; ++n)
        many += "[" + QByteArray::number(n) + "]\r\npozycja1=" + QByteArray::number(n) + "\r\n";
    QTest::newRow("more than 100,000 items") << "Monety_Polska_dane.gmd" << many << "pozycja1=100000" << false;
    QTest::newRow("negative photo count")
        << "Monety_Polska_0.gmd" << crlf({"[zdjecia]", "0=a.jpg", "[config]", "liczba_zdjec=-1"}) << "liczba_zdjec=0"
        << true;
    QTest::newRow("subcategory count beyond")
        << "Monety_podkategorie.gmd" << crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=5"})
        << "liczba_podkategorii=1" << true;
    QTest::newRow("category count beyond")
        << "kategorie.gmd" << crlf({"[kategorie]", "0=Monety", "[config]", "liczba_kategorii=0x7FFFFFFF"})
        << "liczba_kategorii=1" << true;
}

// What the export writes is a whole export: its counts describe what follows them, and the import
// takes it back.
void TestExchange::exportWritesTheCountOfWhatItWrites()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, exportedLine);
    QFETCH(bool, damaged);
    TestDir dir;
    writeWorkedExample(dir);
    dir.write(file, bytes);
    TestDir out;
    QStringList told;
    QVERIFY(Export::run(dir.path(), out.file("e.txt"), {}, Writing::Batched, &told));
    QVERIFY2(linesOf(out.read("e.txt")).contains(exportedLine), qPrintable(exportedLine));
    QCOMPARE(told.size(), damaged ? 1 : 0);
    if (damaged) {
        QVERIFY2(told.first().contains(dir.file(file)), qPrintable(told.first()));
        TestDir target;
        Import::run(target.path(), out.file("e.txt"));
        QCOMPARE(exported(target.path(), out.file("again.txt")), out.read("e.txt"));
    }
}

void TestExchange::importMergesByPosition()
{
    TestDir dir;
    writeWorkedExample(dir);
    TestDir out;
    Export::run(dir.path(), out.file("e.txt"));
    TestDir target;
    target.write("kategorie.gmd",
                 crlf({"[kategorie]", "0=A", "1=B", "2=C", "[config]", "liczba_kategorii=3", "aktywna=2"}));
    target.write("Monety_podkategorie.gmd",
                 crlf({"[podkategorie]", "0=Stara", "1=Druga", "[config]", "liczba_podkategorii=2"}));
    target.write("C_podkategorie.gmd", crlf({"[config]", "liczba_podkategorii=0"}));
    Import::run(target.path(), out.file("e.txt"));
    QCOMPARE(linesOf(target.read("kategorie.gmd")),
             QStringList({"[kategorie]", "0=Monety", "1=Odznaczenia", "2=C", "[config]", "liczba_kategorii=2",
                          "aktywna=2", "sposob=0", "sprawdz_wersje=1", "przezroczystosc=0"}));
    QCOMPARE(linesOf(target.read("Monety_podkategorie.gmd")),
             QStringList({"[podkategorie]", "0=Polska", "1=Druga", "[config]", "liczba_podkategorii=1"}));
    QVERIFY(QFile::exists(target.file("C_podkategorie.gmd")));
}

void TestExchange::failedImportWriteNamesTheFile()
{
    TestDir dir;
    writeWorkedExample(dir);
    TestDir out;
    Export::run(dir.path(), out.file("e.txt"));
    TestDir target;
    target.write("Monety_Polska_dane.gmd", crlf({"[config]", "liczba_pozycji=0"}));
    QFile::setPermissions(target.file("Monety_Polska_dane.gmd"), QFileDevice::ReadOwner);
    try {
        Import::run(target.path(), out.file("e.txt"));
        QFAIL("the import reported success");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + target.file("Monety_Polska_dane.gmd"));
    }
    QCOMPARE(target.read("Monety_Polska_dane.gmd"), crlf({"[config]", "liczba_pozycji=0"}));
    QVERIFY(!QFile::exists(target.file("kategorie.gmd")));
}

// A folder where a photo list should go: found only when the file is written, after the walk
// has gone on.
void TestExchange::failedBackgroundWriteStopsTheImport()
{
    TestDir dir;
    writeRichCatalogue(dir.path());
    TestDir out;
    Export::run(dir.path(), out.file("e.txt"));
    TestDir target;
    const QString blocked = QStringLiteral("Żetony łódzkie_Ćmielów_0.gmd");
    QVERIFY(QDir(target.path()).mkdir(blocked));
    try {
        Import::run(target.path(), out.file("e.txt"));
        QFAIL("the import reported success");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + target.file(blocked));
    }
    QVERIFY(!QFile::exists(target.file("kategorie.gmd"))); // the list is written after all else only
    const QStringList left = QDir(target.path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(left.filter(QStringLiteral("~gromadnik")).isEmpty(), qPrintable(left.join(u',')));
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
