#include "search/CatalogueSearch.h"
#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"
#include "support/TestCatalogue.h"

#include <QSignalSpy>
#include <QTest>

using Scope = SearchQuery::Scope;

namespace {

// Two subcategories whose fields share names at other places, and a third spelling one in lower
// case; every hit is told as category/subcategory/item/field/match start.
QList<TestSubcategory> sampleCatalogue()
{
    return {
        {"Monety",
         "Polska",
         {"Nazwa", "Rok", "Miasto", "", "Uwagi"},
         {{"Złotówka", "1925", "Łódź", "lodz bez nazwy", "", "", "", "", "", "", "Kupiona w Łodzi", "do wymiany"},
          {"Grosz", "1990", "Kraków", "", "stara łódź", "", "", "", "", "", "\"Pierwszy wiersz\\r\\nDrugi: ŁÓDŹ\"",
           "rok 1990"}}},
        {"Monety", "Niemcy", {"Rok", "Nazwa"}, {{"1925", "Mark"}}},
        {"Znaczki", "Europa", {"Tytuł", "rok"}, {{"Orzeł", "1925"}}},
    };
}

QStringList told(const QList<SearchHit> &hits)
{
    QStringList lines;
    for (const SearchHit &hit : hits)
        lines << QStringLiteral("%1/%2/%3/%4/%5")
                     .arg(hit.category, hit.subcategory)
                     .arg(hit.item)
                     .arg(hit.fieldName)
                     .arg(hit.matchStart);
    return lines;
}

QList<SearchHit> runSearch(CatalogueSearch &search, const QString &dir, const SearchQuery &query)
{
    QList<SearchHit> hits;
    const int total = search.run(dir, query, [&](QList<SearchHit> &&batch) { hits += batch; });
    if (total != hits.size())
        qWarning("Hits counted %d, delivered %d", total, int(hits.size()));
    return hits;
}

} // namespace

class TestCatalogueSearch : public QObject
{
    Q_OBJECT

private slots:
    void findsWhatTheScopeCovers_data();
    void findsWhatTheScopeCovers();
    void hitTextIsWhatTheWindowsRead_data();
    void hitTextIsWhatTheWindowsRead();
    void newSearchDeliversOnlyItsOwnHits();
    void changedFileIsReadAgain_data();
    void changedFileIsReadAgain();
    void damagedCatalogueIsSearchedAsFarAsItReaches_data();
    void damagedCatalogueIsSearchedAsFarAsItReaches();
    void fieldNamesAreDistinctAndSortedAsPolish();
};

void TestCatalogueSearch::findsWhatTheScopeCovers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Scope>("scope");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected");
    const Scope all = Scope::AllFields;
    QTest::newRow("marks and case do not count") << "lodz" << all << QString()
                                                 << QStringList{"Monety/Polska/0/Miasto/0", "Monety/Polska/0/Opis/10",
                                                                "Monety/Polska/1/Uwagi/6", "Monety/Polska/1/Opis/24"};
    QTest::newRow("typed with marks in upper case")
        << "ŁÓDŹ" << all << QString()
        << QStringList{"Monety/Polska/0/Miasto/0", "Monety/Polska/0/Opis/10", "Monety/Polska/1/Uwagi/6",
                       "Monety/Polska/1/Opis/24"};
    QTest::newRow("one field by name, wherever it stands")
        << "1925" << Scope::Field << "ROK"
        << QStringList{"Monety/Polska/0/Rok/0", "Monety/Niemcy/0/Rok/0", "Znaczki/Europa/0/rok/0"};
    QTest::newRow("another field holding the text is passed over")
        << "1925" << Scope::Field << "Nazwa" << QStringList{};
    QTest::newRow("description and comment only")
        << "rok" << Scope::DescriptionAndComment << QString() << QStringList{"Monety/Polska/1/Komentarz/0"};
    QTest::newRow("a character no catalogue file holds finds nothing") << "łódź✓" << all << QString() << QStringList{};
    QTest::newRow("a value counts once") << "a" << Scope::Field << "uwagi" << QStringList{"Monety/Polska/1/Uwagi/2"};
}

void TestCatalogueSearch::findsWhatTheScopeCovers()
{
    QFETCH(QString, text);
    QFETCH(Scope, scope);
    QFETCH(QString, field);
    QFETCH(QStringList, expected);
    TestDir dir;
    writeCatalogue(dir, sampleCatalogue());
    CatalogueSearch search;
    const QList<SearchHit> hits = runSearch(search, dir.path(), {text, scope, field});
    QCOMPARE(told(hits), expected);
    for (const SearchHit &hit : hits) {
        const auto typed = Codepage::searchFolded(text);
        QCOMPARE(Codepage::searchFolded(hit.text.mid(hit.matchStart, hit.matchLength)), typed);
    }
}

// What a hit shows, and what it is checked against before the item opens, is what the viewer reads.
void TestCatalogueSearch::hitTextIsWhatTheWindowsRead_data()
{
    QTest::addColumn<int>("key"); // 0 .. 9 a field, 10 the description
    QTest::addColumn<QString>("stored");
    QTest::newRow("between quotation marks") << 0 << "\"  w spacjach  \"";
    QTest::newRow("between apostrophes") << 0 << "'w apostrofach'";
    QTest::newRow("blanks at the ends") << 0 << "   w środku   ";
    QTest::newRow("escaped line breaks") << 10 << "\"raz\\r\\ndwa \\\\ trzy \\x\"";
    QTest::newRow("escapes without quotation marks stay") << 10 << "raz\\r\\ndwa";
    QTest::newRow("longer than a value reads") << 0 << QString(3000, QLatin1Char('w'));
}

void TestCatalogueSearch::hitTextIsWhatTheWindowsRead()
{
    QFETCH(int, key);
    QFETCH(QString, stored);
    TestDir dir;
    QStringList values(12);
    values[key] = stored;
    writeCatalogue(dir, {{"K", "P", {"Pole"}, {values}}});
    const ProfileFile file(CatalogueFiles::itemFile(dir.path(), "K", "P"));
    const QString expected = key == 10 ? file.ReadMultiline("0", "opis") : file.ReadText("0", "pozycja1", {});
    CatalogueSearch search;
    const QList<SearchHit> hits = runSearch(search, dir.path(), {QStringLiteral("w"), Scope::AllFields, {}});
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits[0].text, expected);
    QCOMPARE(hits[0].key, key == 10 ? QStringLiteral("opis") : QStringLiteral("pozycja1"));
    QCOMPARE(hits[0].title, key == 10 ? QString() : expected);
    ProfileStore::clear();
}

void TestCatalogueSearch::newSearchDeliversOnlyItsOwnHits()
{
    TestDir dir;
    QList<TestSubcategory> catalogue;
    for (int s = 0; s < 40; ++s) {
        TestSubcategory sub{"K", QStringLiteral("P%1").arg(s), {"Nazwa"}, {}};
        for (int i = 0; i < 200; ++i)
            sub.items.append({QStringLiteral("stary %1").arg(i)});
        catalogue.append(sub);
    }
    catalogue[39].items[7] = {"nowy"};
    writeCatalogue(dir, catalogue);

    CatalogueSearch search;
    QSignalSpy hits(&search, &CatalogueSearch::hitsFound);
    QSignalSpy finished(&search, &CatalogueSearch::finished);
    search.start(dir.path(), {QStringLiteral("stary"), Scope::AllFields, {}});
    search.start(dir.path(), {QStringLiteral("nowy"), Scope::AllFields, {}});
    QVERIFY(finished.wait(10000));
    QTest::qWait(50); // anything the first search could still send
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), 1);
    QCOMPARE(hits.size(), 1);
    QCOMPARE(told(hits[0][0].value<QList<SearchHit>>()), QStringList{"K/P39/7/Nazwa/0"});

    search.start(dir.path(), {QStringLiteral("stary"), Scope::AllFields, {}});
    search.cancel();
    QTest::qWait(200);
    QCOMPARE(hits.size(), 1);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!search.isRunning());
}

void TestCatalogueSearch::changedFileIsReadAgain_data()
{
    QTest::addColumn<bool>("replaced"); // a new file under the name, or the same file written over
    QTest::addColumn<bool>("removed");
    QTest::newRow("written over, same size") << false << false;
    QTest::newRow("replaced, same size") << true << false;
    QTest::newRow("removed") << false << true;
}

void TestCatalogueSearch::changedFileIsReadAgain()
{
    QFETCH(bool, replaced);
    QFETCH(bool, removed);
    TestDir dir;
    writeCatalogue(dir, {{"K", "P", {"Nazwa"}, {{"Kraków"}}}});
    const QString fileName = CatalogueFiles::itemFile(dir.path(), "K", "P");
    {
        // Old enough for the search to keep what it read.
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    CatalogueSearch search;
    const SearchQuery query{QStringLiteral("krakow"), Scope::AllFields, {}};
    QCOMPARE(runSearch(search, dir.path(), query).size(), 1);

    QByteArray bytes = dir.read(CatalogueFiles::itemFile({}, "K", "P"));
    bytes.replace("Krak", "Kruk");
    if (removed) {
        QVERIFY(QFile::remove(fileName));
    } else if (replaced) {
        QVERIFY(QFile::remove(fileName));
        dir.write(CatalogueFiles::itemFile({}, "K", "P"), bytes);
    } else {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QVERIFY(runSearch(search, dir.path(), query).isEmpty());
    QCOMPARE(runSearch(search, dir.path(), {QStringLiteral("kruk"), Scope::AllFields, {}}).size(), removed ? 0 : 1);
}

void TestCatalogueSearch::damagedCatalogueIsSearchedAsFarAsItReaches_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes"); // nothing: the file is removed
    QTest::addColumn<int>("hits");
    const QString categories = CatalogueFiles::categoryList({});
    const QString itemFile = CatalogueFiles::itemFile({}, "K", "P");
    QTest::newRow("no category list") << categories << QByteArray() << 0;
    QTest::newRow("no subcategory list") << CatalogueFiles::subcategoryList({}, "K") << QByteArray() << 0;
    QTest::newRow("no item file") << itemFile << QByteArray() << 1;
    QTest::newRow("category count far past the list")
        << categories << QByteArray("[kategorie]\r\n0=K\r\n[config]\r\nliczba_kategorii=2147483647\r\n") << 2;
    QTest::newRow("negative category count")
        << categories << QByteArray("[kategorie]\r\n0=K\r\n[config]\r\nliczba_kategorii=-5\r\n") << 0;
    QTest::newRow("item count far past the items")
        << itemFile
        << QByteArray("[pozycje]\r\n1=Nazwa\r\n[0]\r\npozycja1=x\r\n[1]\r\npozycja1=x\r\n[config]\r\n"
                      "liczba_pozycji=999999999\r\n")
        << 3;
    QTest::newRow("item count that is no number")
        << itemFile << QByteArray("[pozycje]\r\n1=Nazwa\r\n[0]\r\npozycja1=x\r\n[config]\r\nliczba_pozycji=dużo\r\n")
        << 1;
    QTest::newRow("item sections numbered far past the count")
        << itemFile
        << QByteArray("[pozycje]\r\n1=Nazwa\r\n[2000000000]\r\npozycja1=x\r\n[config]\r\nliczba_pozycji=2000000001\r\n")
        << 1;
}

void TestCatalogueSearch::damagedCatalogueIsSearchedAsFarAsItReaches()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, hits);
    TestDir dir;
    writeCatalogue(dir, {{"K", "P", {"Nazwa"}, {{"x"}}}, {"K", "Q", {"Nazwa"}, {{"x"}}}});
    if (bytes.isEmpty())
        QVERIFY(QFile::remove(dir.file(file)));
    else
        dir.write(file, bytes);
    CatalogueSearch search;
    QCOMPARE(runSearch(search, dir.path(), {QStringLiteral("x"), Scope::AllFields, {}}).size(), hits);
}

void TestCatalogueSearch::fieldNamesAreDistinctAndSortedAsPolish()
{
    TestDir dir;
    QList<TestSubcategory> catalogue = sampleCatalogue();
    catalogue.append({"Znaczki", "Azja", {"Łańcuch", "Lampa", "NAZWA", "Zamek", "Ząb"}, {}});
    writeCatalogue(dir, catalogue);
    CatalogueIndex index;
    QCOMPARE(CatalogueSearch::fieldNames(index, dir.path()),
             (QStringList{"Lampa", "Łańcuch", "Miasto", "Nazwa", "Rok", "Tytuł", "Uwagi", "Zamek", "Ząb"}));
}

QTEST_GUILESS_MAIN(TestCatalogueSearch)
#include "tst_cataloguesearch.moc"
