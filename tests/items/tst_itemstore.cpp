#include "items/ItemStore.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "support/TestFiles.h"

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

} // namespace

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
    // The longest description that reads back whole is stored.
    values = item("c", QString(2047, QLatin1Char('y')));
    ItemStore::save(m_place, 0, values);
    QCOMPARE(ItemStore::read(m_place, 0).description, values.description);
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
    QVERIFY(!QFile::exists(m_place.photoList(2))); // no list reaches it any more
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
