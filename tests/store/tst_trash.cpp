#include "categories/CategoryStore.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"
#include "store/Trash.h"
#include "support/TestCatalogue.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTest>

namespace {

using Files = QMap<QString, QByteArray>;

// Monety (Polska with three items, Niemcy with one) and Znaczki (Polska); every item of Monety has
// a photo list, Polish letters included.
void layCatalogue(const TestDir &dir)
{
    const QStringList fields{QStringLiteral("Nazwa"), QStringLiteral("Rok")};
    const auto item = [](const QString &name, const QString &year) {
        return QStringList{name,
                           year,
                           {},
                           {},
                           {},
                           {},
                           {},
                           {},
                           {},
                           {},
                           QStringLiteral("Opis ") + name,
                           QStringLiteral("Źródło: giełda")};
    };
    writeCatalogue(dir, {{QStringLiteral("Monety"),
                          QStringLiteral("Polska"),
                          fields,
                          {item(QStringLiteral("Złotówka"), QStringLiteral("1934")),
                           item(QStringLiteral("Grosz"), QStringLiteral("1923")),
                           item(QStringLiteral("Dukat"), QStringLiteral("1601"))}},
                         {QStringLiteral("Monety"),
                          QStringLiteral("Niemcy"),
                          fields,
                          {item(QStringLiteral("Marka"), QStringLiteral("1900"))}},
                         {QStringLiteral("Znaczki"), QStringLiteral("Polska"), fields, {}}});
    for (const auto &[sub, count] :
         QList<std::pair<QString, int>>{{QStringLiteral("Polska"), 3}, {QStringLiteral("Niemcy"), 1}}) {
        for (int n = 0; n < count; ++n)
            ItemStore::setPhotos({dir.path(), QStringLiteral("Monety"), sub}, n,
                                 {QStringLiteral("/zdjęcia/%1-%2a.jpg").arg(sub).arg(n),
                                  QStringLiteral("/zdjęcia/%1-%2b.jpg").arg(sub).arg(n)});
    }
}

// The catalogue files of the folder; the trash's folder is not among them.
Files snapshot(const TestDir &dir)
{
    Files files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        files.insert(name, dir.read(name));
    return files;
}

QStringList categories(const TestDir &dir)
{
    return KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(dir.path())));
}

QStringList subcategories(const TestDir &dir, const QString &category)
{
    return KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir.path(), category)));
}

enum class What { Item, LastItem, Subcategory, Category };

// Deletes as the windows do; answers the name the trash must show.
QString deleteOne(const TestDir &dir, What what)
{
    const ItemStore::Place polska{dir.path(), QStringLiteral("Monety"), QStringLiteral("Polska")};
    switch (what) {
    case What::Item:
        ItemStore::remove(polska, 0);
        return QStringLiteral("Złotówka");
    case What::LastItem:
        ItemStore::remove(polska, 2);
        return QStringLiteral("Dukat");
    case What::Subcategory:
        CategoryStore::deleteSubcategory(dir.path(), QStringLiteral("Monety"), {QStringLiteral("Niemcy")},
                                         QStringLiteral("Polska"));
        return QStringLiteral("Polska");
    case What::Category:
        CategoryStore::deleteCategory(dir.path(), {QStringLiteral("Znaczki")}, QStringLiteral("Monety"));
        return QStringLiteral("Monety");
    }
    return {};
}

} // namespace

class TestTrash : public QObject
{
    Q_OBJECT

private slots:
    void init() { ProfileStore::clear(); }
    void deleteThenRestore_data();
    void deleteThenRestore();
    void restoreRefused_data();
    void restoreRefused();
    void emptyingRemovesEveryEntry();
    void trashIsInvisibleToExportImportAndNames();
};

void TestTrash::deleteThenRestore_data()
{
    QTest::addColumn<What>("what");
    QTest::addColumn<Trash::Kind>("kind");
    QTest::newRow("item moved over by the last") << What::Item << Trash::Kind::Item;
    QTest::newRow("last item") << What::LastItem << Trash::Kind::Item;
    QTest::newRow("subcategory") << What::Subcategory << Trash::Kind::Subcategory;
    QTest::newRow("category") << What::Category << Trash::Kind::Category;
}

// What a delete removed comes back: an item as a new last item with its photo list, a subcategory
// or category at its place with its files byte for byte.
void TestTrash::deleteThenRestore()
{
    QFETCH(What, what);
    QFETCH(Trash::Kind, kind);
    TestDir dir;
    layCatalogue(dir);
    const ItemStore::Place polska{dir.path(), QStringLiteral("Monety"), QStringLiteral("Polska")};
    const int deleted = what == What::LastItem ? 2 : 0;
    const ItemValues values = ItemStore::read(polska, deleted);
    const QStringList photos = ItemStore::photos(polska, deleted);
    const Files before = snapshot(dir);

    const QString name = deleteOne(dir, what);
    QVERIFY(snapshot(dir) != before);
    const QList<Trash::Entry> entries = Trash::entries(dir.path());
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].kind, kind);
    QCOMPARE(entries[0].name, name);
    QCOMPARE(entries[0].category, QStringLiteral("Monety"));
    QVERIFY(qAbs(entries[0].deleted.secsTo(QDateTime::currentDateTimeUtc())) < 60);

    Trash::restore(dir.path(), entries[0]);
    ProfileStore::clear();
    QVERIFY(Trash::entries(dir.path()).isEmpty());
    QVERIFY(QDir(Trash::folderOf(dir.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    const Files after = snapshot(dir);
    if (kind == Trash::Kind::Item) {
        QCOMPARE(ProfileFile(polska.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 3);
        const ItemValues back = ItemStore::read(polska, 2);
        QCOMPARE(back.fields, values.fields);
        QCOMPARE(back.description, values.description);
        QCOMPARE(back.comment, values.comment);
        QCOMPARE(ItemStore::photos(polska, 2), photos);
        return;
    }
    QCOMPARE(categories(dir), (QStringList{"Monety", "Znaczki"}));
    QCOMPARE(subcategories(dir, "Monety"), (QStringList{"Polska", "Niemcy"}));
    QCOMPARE(after.keys(), before.keys());
    const QString list = kind == Trash::Kind::Category ? "kategorie.gmd" : "Monety_podkategorie.gmd";
    for (const QString &file : before.keys()) {
        if (file != list)
            QVERIFY2(after[file] == before[file], qPrintable(file));
    }
}

void TestTrash::restoreRefused_data()
{
    QTest::addColumn<What>("what");
    QTest::addColumn<QString>("message");
    QTest::newRow("item of a subcategory gone")
        << What::Item << "podkategoria \"Polska\" kategorii \"Monety\" już nie istnieje";
    QTest::newRow("subcategory name taken") << What::Subcategory << "Nie można przywrócić podkategorii \"Polska\"";
    QTest::newRow("category name taken") << What::Category << "Nie można przywrócić kategorii \"Monety\"";
}

// A restore that has no place to go, or would take a name given again since, changes nothing.
void TestTrash::restoreRefused()
{
    QFETCH(What, what);
    QFETCH(QString, message);
    TestDir dir;
    layCatalogue(dir);
    deleteOne(dir, what);
    if (what == What::Item)
        CategoryStore::deleteSubcategory(dir.path(), "Monety", {"Niemcy"}, "Polska");
    else if (what == What::Subcategory)
        CategoryStore::writeSubcategories(dir.path(), "Monety", {"Niemcy", "POLSKA"});
    else
        CategoryStore::writeCategories(dir.path(), {"Znaczki", "Monety"});
    const QList<Trash::Entry> entries = Trash::entries(dir.path());
    const Trash::Entry entry = entries.last(); // the oldest: the first delete
    const Files before = snapshot(dir);
    try {
        Trash::restore(dir.path(), entry);
        QFAIL("restored");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(snapshot(dir), before);
    QCOMPARE(Trash::entries(dir.path()).size(), entries.size());
    QVERIFY(!Journal::isPending(dir.path()));
}

void TestTrash::emptyingRemovesEveryEntry()
{
    TestDir dir;
    layCatalogue(dir);
    deleteOne(dir, What::Item);
    deleteOne(dir, What::Subcategory);
    QCOMPARE(Trash::entries(dir.path()).size(), 2);
    const Files kept = snapshot(dir);
    Trash::empty(dir.path());
    QVERIFY(Trash::entries(dir.path()).isEmpty());
    QVERIFY(QDir(Trash::folderOf(dir.path())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    QCOMPARE(snapshot(dir), kept);
}

// The export, the import and the name checks see the catalogue alone: the same export with a full
// trash as without it, a name in the trash free to use again.
void TestTrash::trashIsInvisibleToExportImportAndNames()
{
    TestDir dir;
    layCatalogue(dir);
    deleteOne(dir, What::Item);
    deleteOne(dir, What::Subcategory);
    TestDir plain;
    for (auto [name, bytes] : snapshot(dir).asKeyValueRange())
        plain.write(name, bytes);
    TestDir exports;
    Export::run(dir.path(), exports.file("z koszem.txt"));
    Export::run(plain.path(), exports.file("bez kosza.txt"));
    QCOMPARE(exports.read("z koszem.txt"), exports.read("bez kosza.txt"));

    const CatalogueFiles::NewName again{0, 1, QStringLiteral("Polska")};
    QCOMPARE(CategoryStore::renameProblem(dir.path(), CategoryStore::catalogueNames(dir.path()), {0, 0, "Polska"}),
             QString());
    QCOMPARE(CatalogueFiles::clashProblem(CategoryStore::catalogueNames(dir.path()), again), QString());

    Import::run(dir.path(), exports.file("bez kosza.txt"));
    ProfileStore::clear();
    QCOMPARE(Trash::entries(dir.path()).size(), 2);
    Export::run(dir.path(), exports.file("po imporcie.txt"));
    QCOMPARE(exports.read("po imporcie.txt"), exports.read("bez kosza.txt"));
}

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
