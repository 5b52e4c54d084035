#include "categories/CategoryStore.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

namespace {

QMap<QString, QByteArray> snapshot(const QString &path)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(path).entryList(QDir::Files)) {
        QFile file(QDir(path).filePath(name));
        file.open(QIODevice::ReadOnly);
        files.insert(name, file.readAll());
    }
    return files;
}

} // namespace

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
    void controlCharactersAreWrittenBack_data();
    void controlCharactersAreWrittenBack();
    void listFilesFarTooLargeAreRefused_data();
    void listFilesFarTooLargeAreRefused();

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
    QTest::newRow("CR CR LF, twice converted")
        << QByteArray("[kategorie]\r\r\n0=A\r\r\n[config]\r\r\nliczba=10\r\r\n") << QString("10");
    QTest::newRow("CR among the blanks at the end")
        << QByteArray("[config]\r\r\nliczba=11 \r\t\r\r\n") << QString("11");
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

// Bytes below the blank that a file already holds (from another program, or written before such
// values were refused) are written back as they are by every command that rewrites them.
void TestProfileDamage::controlCharactersAreWrittenBack_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("categories reordered") << "reorder";
    QTest::newRow("another category deleted") << "delete category";
    QTest::newRow("item deleted, the last moves") << "delete item";
    QTest::newRow("export") << "export";
}

void TestProfileDamage::controlCharactersAreWrittenBack()
{
    QFETCH(QString, command);
    const QByteArray odd("a\001b\007c\033d\177e\037f\013");
    const QString category = Codepage::decode("Kat" + odd);
    const QString sub = Codepage::decode("Pod" + odd);
    TestDir dir;
    dir.write("kategorie.gmd", "[kategorie]\r\n0=Kat" + odd + "\r\n1=Inne\r\n[config]\r\nliczba_kategorii=2\r\n");
    dir.write(category + "_podkategorie.gmd",
              "[podkategorie]\r\n0=Pod" + odd + "\r\n[config]\r\nliczba_podkategorii=1\r\n");
    const ItemStore::Place place{dir.path(), category, sub};
    QByteArray items = "[pozycje]\r\n1=Pole" + odd + "\r\n";
    for (int i = 0; i < 2; ++i)
        items += "[" + QByteArray::number(i) + "]\r\npozycja1=" + odd + QByteArray::number(i) + "\r\nopis=" + odd +
                 "\r\nkomentarz=\r\n";
    QFile::remove(place.itemFile());
    dir.write(QFileInfo(place.itemFile()).fileName(), items + "[config]\r\nliczba_pozycji=2\r\n");
    dir.write(QFileInfo(place.photoList(1)).fileName(),
              "[zdjecia]\r\n0=/z" + odd + ".jpg\r\n[config]\r\nliczba_zdjec=1\r\n");
    const auto before = snapshot(dir.path());
    ProfileStore::clear();

    if (command == "reorder") {
        CategoryStore::writeCategories(dir.path(), {QStringLiteral("Inne"), category});
        QVERIFY(dir.read("kategorie.gmd").contains("\r\n1=Kat" + odd + "\r\n"));
    } else if (command == "delete category") {
        CategoryStore::deleteCategory(dir.path(), {category}, QStringLiteral("Inne"));
        QVERIFY(dir.read("kategorie.gmd").contains("\r\n0=Kat" + odd + "\r\n"));
    } else if (command == "delete item") {
        ItemStore::remove(place, 0);
        const QByteArray after = snapshot(dir.path()).value(QFileInfo(place.itemFile()).fileName());
        QVERIFY(after.contains("[0]\r\npozycja1=" + odd + "1\r\n"));
        QVERIFY(after.contains("opis=" + odd + "\r\n"));
        QCOMPARE(snapshot(dir.path()).value(QFileInfo(place.photoList(0)).fileName()),
                 before.value(QFileInfo(place.photoList(1)).fileName()));
    } else {
        // The import checks the names it brings as typed names; the export only copies.
        TestDir other;
        Export::run(dir.path(), other.file("eksport.txt"));
        const QByteArray exported = other.read("eksport.txt");
        QVERIFY(exported.contains("0=Kat" + odd + "\r\n"));
        QVERIFY(exported.contains("\r\nopis=" + odd + "\r\n"));
        QVERIFY(exported.contains("0=/z" + odd + ".jpg\r\n"));
    }
}

// A category or subcategory list of megabytes is no list (real ones hold a few hundred bytes):
// parsing it would take many times its size in memory. It reads as empty, the user is told once,
// and nothing writes over it; an item file of that size is read as usual.
void TestProfileDamage::listFilesFarTooLargeAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("category list") << "kategorie.gmd" << true;
    QTest::newRow("subcategory list") << "Monety_podkategorie.gmd" << true;
    QTest::newRow("item file") << "Monety_Polska_dane.gmd" << false;
}

void TestProfileDamage::listFilesFarTooLargeAreRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    TestDir dir;
    const QByteArray head("[kategorie]\r\n0=A\r\n[podkategorie]\r\n0=A\r\n[config]\r\nliczba_kategorii=1\r\n"
                          "liczba_podkategorii=1\r\nliczba_pozycji=1\r\n");
    dir.write(name, head);
    QVERIFY(QFile::resize(dir.file(name), 40 * 1024 * 1024)); // sparse: the size alone decides
    const QString fileName = dir.file(name);
    ProfileStore::clear();
    ProfileFile file(fileName);
    const QString section = name == "kategorie.gmd" ? "kategorie" : "podkategorie";
    const KeyedList &list = name == "kategorie.gmd" ? KeyedList::categories : KeyedList::subcategories;
    QCOMPARE(list.read(file), refused ? QStringList() : QStringList{"A"});
    const QString told = ProfileStore::takeRefusal(fileName);
    QCOMPARE(told.isEmpty(), !refused);
    if (!refused)
        return;
    QVERIFY2(told.contains("40 MB") && told.contains("16 MB") && told.contains("nie został zmieniony"),
             qPrintable(told));
    (void)list.read(ProfileFile(fileName));
    QCOMPARE(ProfileStore::takeRefusal(fileName), QString()); // once for this version of the file
    QVERIFY_THROWS_EXCEPTION(AppError, list.append(file, "B"));
    QVERIFY_THROWS_EXCEPTION(AppError, file.DropSection(section));
    QCOMPARE(QFileInfo(fileName).size(), 40 * 1024 * 1024);
    QCOMPARE(dir.read(name).left(head.size()), head);
}

QTEST_GUILESS_MAIN(TestProfileDamage)
#include "tst_profiledamage.moc"
