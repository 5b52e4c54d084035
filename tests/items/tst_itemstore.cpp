#include "exchange/Export.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "items/ItemListModel.h"
#include "items/ItemTable.h"
#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

ItemValues item(const QString &name, const QString &description = QString())
{
    ItemValues values;
    values.fields[0] = name;
    values.fields[2] = name + QStringLiteral(" (3)");
    values.description = description.isNull() ? QStringLiteral("Opis ") + name : description;
    values.comment = QStringLiteral("Komentarz ") + name;
    return values;
}

// An item file of `sections` items numbered from 0, each with its first field, under `count`.
QByteArray itemFile(const QString &count, int sections)
{
    QByteArray bytes = "[pozycje]\r\n1=Nazwa\r\n";
    for (int n = 0; n < sections; ++n)
        bytes += "[" + QByteArray::number(n) + "]\r\npozycja1=p" + QByteArray::number(n) + "\r\n";
    return bytes + "[config]\r\nliczba_pozycji=" + count.toLatin1() + "\r\n";
}

} // namespace

// The rows the main window's item list shows of the file.
static QList<QStringList> listedRows(const QString &itemFile, const QString &count)
{
    ItemListModel model;
    model.load(itemFile, count);
    QList<QStringList> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList values;
        for (int column = 0; column < model.columnCount(); ++column)
            values.append(model.text(row, column));
        rows.append(values);
    }
    return rows;
}

class TestItemStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addAppendsAndCounts();
    void saveRewritesInPlace();
    void textComesBackAsTyped();
    void unstorableTextIsRefusedBeforeWriting_data();
    void unstorableTextIsRefusedBeforeWriting();
    void fieldValuesReadBackExactly_data();
    void fieldValuesReadBackExactly();
    void olderLongValueIsNeverCut();
    void countThatCannotGrowIsRefused_data();
    void countThatCannotGrowIsRefused();
    void newItemStartsWithoutWhatAnOlderOneLeft();
    void itemListFollowsWhatTheFileHolds_data();
    void itemListFollowsWhatTheFileHolds();
    void deleteMovesTheLastItemWithItsPhotos();
    void deleteTheLastItem();
    void deleteWhenTheLastItemHasNoPhotoList();
    void deleteTheOnlyItem();
    void photosAreAddedAndRemovedInOrder();

private:
    std::unique_ptr<TestDir> m_dir;
    ItemStore::Place m_place;
};

void TestItemStore::init()
{
    m_dir = std::make_unique<TestDir>();
    m_place = {m_dir->path(), QStringLiteral("Monety"), QStringLiteral("Polska")};
}

void TestItemStore::addAppendsAndCounts()
{
    QCOMPARE(ItemStore::add(m_place, item("a")), 0);
    QCOMPARE(ItemStore::add(m_place, item("b")), 1);
    QCOMPARE(ItemStore::add(m_place, ItemValues()), 2);
    QStringList lines{"[0]", "pozycja1=a", "pozycja2=", "pozycja3=a (3)"};
    for (int k = 4; k <= 10; ++k)
        lines << QStringLiteral("pozycja%1=").arg(k);
    lines << "opis=Opis a"
          << "komentarz=Komentarz a"
          << "[config]"
          << "liczba_pozycji=3";
    QVERIFY(m_dir->read("Monety_Polska_dane.gmd").startsWith(crlf(lines.mid(0, 14))));
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 3);
    QCOMPARE(ItemStore::read(m_place, 1).fields[0], QStringLiteral("b"));
    QCOMPARE(ItemStore::read(m_place, 2).description, QString());
}

void TestItemStore::saveRewritesInPlace()
{
    ItemStore::add(m_place, item("a"));
    ItemStore::add(m_place, item("b"));
    ItemValues changed = item("B");
    changed.comment = QStringLiteral("nowy");
    ItemStore::save(m_place, 1, changed);
    QCOMPARE(ItemStore::read(m_place, 1).fields[0], QStringLiteral("B"));
    QCOMPARE(ItemStore::read(m_place, 1).comment, QStringLiteral("nowy"));
    QCOMPARE(ItemStore::read(m_place, 0).fields[0], QStringLiteral("a"));
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 2);
}

void TestItemStore::textComesBackAsTyped()
{
    const QString typed = QStringLiteral("  Moneta srebrna\r\n\"próbna\"\n\\n to nie nowa linia\\");
    ItemStore::add(m_place, item("a", typed));
    QCOMPARE(ItemStore::read(m_place, 0).description, typed);
    QCOMPARE(m_dir->read("Monety_Polska_dane.gmd").count('\n'), 15);
}

void TestItemStore::unstorableTextIsRefusedBeforeWriting_data()
{
    QTest::addColumn<int>("field"); // 0 .. 9, 10 description, 11 comment
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("field outside Windows-1250") << 4 << "1934 日本"
                                                << "Windows-1250";
    QTest::newRow("comment with an emoji") << 11 << "ładna 😀"
                                           << "Windows-1250";
    QTest::newRow("description too long") << 10 << QString(2048, QLatin1Char('x')) << "najwyżej 2047";
    QTest::newRow("too long once encoded") << 11 << QString(1200, QLatin1Char('\n')) << "najwyżej 2047";
    QTest::newRow("field too long") << 1 << QString(2048, QLatin1Char('x')) << "Pole 2 jest za długie";
    QTest::newRow("field too long once quoted")
        << 0 << QLatin1Char(' ') + QString(2046, QLatin1Char('x')) << "Pole 1 jest za długie";
}

void TestItemStore::unstorableTextIsRefusedBeforeWriting()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ItemStore::add(m_place, item("a"));
    const QByteArray before = m_dir->read("Monety_Polska_dane.gmd");
    ItemValues values = item("b");
    if (field < 10)
        values.fields[field] = text;
    else
        (field == 10 ? values.description : values.comment) = text;
    for (const auto &write : std::initializer_list<std::function<void()>>{
             [&] { ItemStore::add(m_place, values); }, [&] { ItemStore::save(m_place, 0, values); }}) {
        try {
            write();
            QFAIL("the text was stored");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        }
        QCOMPARE(m_dir->read("Monety_Polska_dane.gmd"), before);
    }
    // The windows name a field by its label.
    if (message.startsWith(QLatin1String("Pole"))) {
        QStringList names(10);
        names[field] = QStringLiteral("Nominał");
        try {
            ItemStore::checkStorable(values, names);
            QFAIL("the text was found storable");
        } catch (const AppError &error) {
            QVERIFY2(error.message().startsWith(QStringLiteral("Pole \"Nominał\" jest za długie")),
                     qPrintable(error.message()));
        }
    }
    // The longest description that reads back whole is stored.
    values = item("c", QString(2047, QLatin1Char('y')));
    ItemStore::save(m_place, 0, values);
    QCOMPARE(ItemStore::read(m_place, 0).description, values.description);
}

void TestItemStore::fieldValuesReadBackExactly_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("olderLine"); // as an older version stored it; empty: typed now
    QTest::newRow("blank at the start") << " 5 złotych" << QByteArray();
    QTest::newRow("blanks at both ends") << "  1934 " << QByteArray();
    QTest::newRow("tab at the end") << "dobry\t" << QByteArray();
    QTest::newRow("double quotes around") << "\"Orzeł\"" << QByteArray();
    QTest::newRow("apostrophes around") << "'Orzeł'" << QByteArray();
    QTest::newRow("two quotation marks") << "\"\"" << QByteArray();
    QTest::newRow("quotes inside blanks") << " \"a\" " << QByteArray();
    QTest::newRow("one quotation mark") << "\"" << QByteArray();
    QTest::newRow("marks that do not match") << "\"a'" << QByteArray();
    QTest::newRow("backslashes stay") << " C:\\nowy\\" << QByteArray();
    QTest::newRow("longest plain") << QString(2047, QLatin1Char('x')) << QByteArray();
    QTest::newRow("longest quoted") << QLatin1Char(' ') + QString(2044, QLatin1Char('x')) << QByteArray();
    QTest::newRow("older value with blanks") << "stare" << QByteArray("pozycja1=  stare ");
    QTest::newRow("older quoted value") << "cytat" << QByteArray("pozycja1=\"cytat\"");
}

// What is typed comes back in the edit window, in the item list and after an export and import.
void TestItemStore::fieldValuesReadBackExactly()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, olderLine);
    ItemValues values;
    values.fields[0] = value;
    if (olderLine.isEmpty()) {
        ItemStore::add(m_place, ItemValues());
        ItemStore::save(m_place, 0, values);
        ItemStore::add(m_place, values);
    } else {
        m_dir->write("Monety_Polska_dane.gmd",
                     "[0]\r\n" + olderLine + "\r\n[1]\r\n" + olderLine + "\r\n[config]\r\nliczba_pozycji=2\r\n");
    }
    ProfileFile(m_place.itemFile()).WriteText("pozycje", "1", "Nazwa");
    const auto readBack = [&](const ItemStore::Place &place) {
        for (int n : {0, 1})
            QCOMPARE(ItemStore::read(place, n).fields[0], value);
        QCOMPARE(listedRows(place.itemFile(), "2"), QList<QStringList>({QStringList{value}, QStringList{value}}));
    };
    readBack(m_place);
    ProfileFile(CatalogueFiles::categoryList(m_dir->path())).WriteText("kategorie", "0", "Monety");
    ProfileFile(CatalogueFiles::categoryList(m_dir->path())).WriteNumber("config", "liczba_kategorii", 1);
    ProfileFile(CatalogueFiles::subcategoryList(m_dir->path(), "Monety")).WriteText("podkategorie", "0", "Polska");
    ProfileFile(CatalogueFiles::subcategoryList(m_dir->path(), "Monety"))
        .WriteNumber("config", "liczba_podkategorii", 1);
    const TestDir out;
    Export::run(m_dir->path(), out.file("e.txt"));
    const TestDir target;
    Import::run(target.path(), out.file("e.txt"));
    readBack({target.path(), m_place.category, m_place.subcategory});
}

// Another program may have stored a value longer than a profile value reads back: the edit window
// gets it whole, and an unchanged "Zapisz" refuses it instead of writing it back cut.
void TestItemStore::olderLongValueIsNeverCut()
{
    const QString longValue(3000, QLatin1Char('x'));
    m_dir->write("Monety_Polska_dane.gmd",
                 "[0]\r\npozycja1=" + longValue.toLatin1() + "\r\n[config]\r\nliczba_pozycji=1\r\n");
    const QByteArray before = m_dir->read("Monety_Polska_dane.gmd");
    const ItemValues values = ItemStore::read(m_place, 0);
    QCOMPARE(values.fields[0], longValue);
    try {
        ItemStore::save(m_place, 0, values);
        QFAIL("the long value was written back");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains("Pole 1 jest za długie"), qPrintable(error.message()));
    }
    QCOMPARE(m_dir->read("Monety_Polska_dane.gmd"), before);
}

void TestItemStore::countThatCannotGrowIsRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("count"); // the "config" entry
    QTest::addColumn<QString>("message");
    QTest::newRow("categories at the largest") << "kategorie.gmd"
                                               << "liczba_kategorii=2147483647"
                                               << "nie może już wzrosnąć";
    QTest::newRow("subcategories negative") << "Monety_podkategorie.gmd"
                                            << "liczba_podkategorii=-1"
                                            << "ujemna";
    QTest::newRow("photos at the largest") << "Monety_Polska_0.gmd"
                                           << "liczba_zdjec=0x7FFFFFFF"
                                           << "nie może już wzrosnąć";
    QTest::newRow("photos negative") << "Monety_Polska_0.gmd"
                                     << "liczba_zdjec=$FFFFFFFF"
                                     << "ujemna";
    QTest::newRow("items at the largest") << "Monety_Polska_dane.gmd"
                                          << "liczba_pozycji=2147483647"
                                          << "nie może już wzrosnąć";
    QTest::newRow("items negative") << "Monety_Polska_dane.gmd"
                                    << "liczba_pozycji=-3"
                                    << "ujemna";
    QTest::newRow("items no number") << "Monety_Polska_dane.gmd"
                                     << "liczba_pozycji=trzy"
                                     << "nie jest liczbą";
}

void TestItemStore::countThatCannotGrowIsRefused()
{
    QFETCH(QString, file);
    QFETCH(QString, count);
    QFETCH(QString, message);
    const QByteArray before = crlf({"[kategorie]", "0=A", "[podkategorie]", "0=B", "[zdjecia]", "0=c.jpg", "[0]",
                                    "pozycja1=pierwsza", "[config]", count});
    m_dir->write(file, before);
    ProfileFile list(m_dir->file(file));
    try {
        if (file == QLatin1String("kategorie.gmd"))
            KeyedList::categories.append(list, QStringLiteral("Nowa"));
        else if (file.endsWith(QLatin1String("podkategorie.gmd")))
            KeyedList::subcategories.append(list, QStringLiteral("Nowa"));
        else if (file.endsWith(QLatin1String("dane.gmd")))
            ItemStore::add(m_place, item("nowa"));
        else
            ItemStore::addPhoto(m_place, 0, QStringLiteral("nowe.jpg"));
        QFAIL("the entry was added");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message) &&
                     error.message().contains(QStringLiteral("Nic nie zostało zapisane")),
                 qPrintable(error.message()));
    }
    QCOMPARE(m_dir->read(file), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{file});
}

// An import over a larger catalogue leaves the photo lists and sections of the items past its count.
void TestItemStore::newItemStartsWithoutWhatAnOlderOneLeft()
{
    m_dir->write("Monety_Polska_dane.gmd", crlf({"[0]", "pozycja1=a", "[1]", "pozycja1=stara", "pozycja11=x",
                                                 "zdjecie=C:\\stare.jpg", "[config]", "liczba_pozycji=1"}));
    m_dir->write("Monety_Polska_1.gmd", crlf({"[zdjecia]", "0=C:\\cudze.jpg", "[config]", "liczba_zdjec=1"}));
    QCOMPARE(ItemStore::add(m_place, item("b")), 1);
    QCOMPARE(ItemStore::photos(m_place, 1), QStringList());
    QCOMPARE(ItemStore::read(m_place, 1).photo, QString());
    QVERIFY(!QFile::exists(m_dir->file("Monety_Polska_1.gmd")));
    QVERIFY(!m_dir->read("Monety_Polska_dane.gmd").contains("pozycja11"));
    QCOMPARE(ItemStore::read(m_place, 0).fields[0], QStringLiteral("a"));
}

void TestItemStore::itemListFollowsWhatTheFileHolds_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("sections");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("problem");
    QTest::newRow("more than 100,000 items") << "100001" << 100001 << 100001 << "";
    QTest::newRow("count far beyond the items") << "2147483647" << 3 << 3 << "zawiera tylko 3";
    QTest::newRow("negative count") << "-2" << 3 << 0 << "ujemna";
    QTest::newRow("items past the count") << "2" << 3 << 2 << "";
}

void TestItemStore::itemListFollowsWhatTheFileHolds()
{
    QFETCH(QString, count);
    QFETCH(int, sections);
    QFETCH(int, rows);
    QFETCH(QString, problem);
    m_dir->write("Monety_Polska_dane.gmd", itemFile(count, sections));
    const ProfileFile file(m_place.itemFile());
    const QList<QStringList> listed = listedRows(m_place.itemFile(), count);
    QCOMPARE(listed.size(), rows);
    if (rows > 0)
        QCOMPARE(listed.last(), QStringList{QStringLiteral("p%1").arg(rows - 1)});
    const QString told = ItemTable::countProblem(file, count.toInt());
    QVERIFY2(problem.isEmpty() ? told.isEmpty() : told.contains(problem), qPrintable(told));
}

void TestItemStore::deleteMovesTheLastItemWithItsPhotos()
{
    for (const char *name : {"a", "b", "c"})
        ItemStore::add(m_place, item(name));
    ItemStore::addPhoto(m_place, 0, "/zdjecia/a.jpg");
    // The last item's photo list as another program wrote it: LF line ends, a comment line.
    const QByteArray lastPhotos(
        "; z importu\n[zdjecia]\n0=/zdjecia/c1.jpg\n1=/zdjecia/c2.jpg\n[config]\nliczba_zdjec=2\n");
    m_dir->write("Monety_Polska_2.gmd", lastPhotos);
    ProfileFile(m_place.itemFile()).WriteText("2", "zdjecie", "/stare/c.bmp");

    ItemStore::remove(m_place, 0);
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 2);
    const ItemValues moved = ItemStore::read(m_place, 0);
    QCOMPARE(moved.fields[0], QStringLiteral("c"));
    QCOMPARE(moved.description, QStringLiteral("Opis c"));
    QCOMPARE(moved.photo, QStringLiteral("/stare/c.bmp"));
    QCOMPARE(ItemStore::read(m_place, 1).fields[0], QStringLiteral("b"));
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadText("2", "pozycja1", "brak"), QStringLiteral("brak"));
    QCOMPARE(m_dir->read("Monety_Polska_0.gmd"), lastPhotos); // byte for byte
    QVERIFY(!QFile::exists(m_place.photoList(2)));            // no list reaches it any more
    QCOMPARE(ItemStore::photos(m_place, 2), QStringList());
}

void TestItemStore::deleteTheLastItem()
{
    for (const char *name : {"a", "b", "c"})
        ItemStore::add(m_place, item(name));
    ItemStore::addPhoto(m_place, 1, "/zdjecia/b.jpg");
    ItemStore::addPhoto(m_place, 2, "/zdjecia/c.jpg");
    ItemStore::remove(m_place, 2);
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 2);
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadText("2", "pozycja1", "brak"), QStringLiteral("brak"));
    QCOMPARE(ItemStore::read(m_place, 1).fields[0], QStringLiteral("b"));
    QCOMPARE(ItemStore::photos(m_place, 1), QStringList{"/zdjecia/b.jpg"});
    QCOMPARE(m_dir->read("Monety_Polska_2.gmd"), QByteArray());
}

void TestItemStore::deleteWhenTheLastItemHasNoPhotoList()
{
    for (const char *name : {"a", "b"})
        ItemStore::add(m_place, item(name));
    ItemStore::addPhoto(m_place, 0, "/zdjecia/a.jpg");
    ItemStore::remove(m_place, 0);
    // Item 0 is now the former item 1, which had no photos; nothing is left under number 1.
    QCOMPARE(ItemStore::read(m_place, 0).fields[0], QStringLiteral("b"));
    QCOMPARE(ItemStore::photos(m_place, 0), QStringList());
    QVERIFY(!QFile::exists(m_place.photoList(0)));
    QVERIFY(!QFile::exists(m_place.photoList(1)));
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 1);
}

void TestItemStore::deleteTheOnlyItem()
{
    ItemStore::add(m_place, item("a"));
    ItemStore::addPhoto(m_place, 0, "/zdjecia/a.jpg");
    ItemStore::remove(m_place, 0);
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", -1), 0);
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadText("0", "pozycja1", "brak"), QStringLiteral("brak"));
    QCOMPARE(m_dir->read("Monety_Polska_0.gmd"), QByteArray());
    // The next item gets number 0 and starts without photos.
    QCOMPARE(ItemStore::add(m_place, item("d")), 0);
    QCOMPARE(ItemStore::photos(m_place, 0), QStringList());
}

void TestItemStore::photosAreAddedAndRemovedInOrder()
{
    ItemStore::addPhoto(m_place, 4, "/z/a.jpg");
    ItemStore::addPhoto(m_place, 4, "/z/b.jpg");
    ItemStore::addPhoto(m_place, 4, "/z/a.jpg");
    QCOMPARE(m_dir->read("Monety_Polska_4.gmd"),
             crlf({"[zdjecia]", "0=/z/a.jpg", "1=/z/b.jpg", "2=/z/a.jpg", "[config]", "liczba_zdjec=3"}));
    ItemStore::setPhotos(m_place, 4, {"/z/a.jpg", "/z/a.jpg"});
    QCOMPARE(m_dir->read("Monety_Polska_4.gmd"),
             crlf({"[config]", "liczba_zdjec=2", "[zdjecia]", "0=/z/a.jpg", "1=/z/a.jpg"}));
    ItemStore::setPhotos(m_place, 4, {});
    QCOMPARE(m_dir->read("Monety_Polska_4.gmd"), crlf({"[config]", "liczba_zdjec=0"}));
}

QTEST_GUILESS_MAIN(TestItemStore)
#include "tst_itemstore.moc"
