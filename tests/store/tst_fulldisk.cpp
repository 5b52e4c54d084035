#include "categories/CategoryStore.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "store/ProfileStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {

using Files = QMap<QString, QByteArray>;

Files snapshot(const QString &path)
{
    Files files;
    for (const QString &name : QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(QDir(path).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

void restore(const QString &path, const Files &files)
{
    QDir dir(path);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(dir.filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(*it) != it->size())
            qFatal("Cannot lay out the catalogue");
    }
}

const QString monety = QStringLiteral("Monety");
const QString polska = QStringLiteral("Polska");

ItemValues itemValues(int number)
{
    ItemValues values;
    values.fields[0] = QStringLiteral("%1 złotych").arg(number);
    values.fields[1] = QString::number(1920 + number);
    values.fields[2] = QStringLiteral("dobry");
    values.description = QStringLiteral("Moneta srebrna, bita w Warszawie.\r\n").repeated(4);
    values.comment = QStringLiteral("Kupiona na giełdzie");
    return values;
}

// A catalogue of some 20 KB in 14 files: the item file needs several pages, most others one.
void writeCatalogue(const QString &dir, const QStringList &categories, int items)
{
    ProfileFile list(CatalogueFiles::categoryList(dir));
    for (const QString &name : categories)
        KeyedList::categories.append(list, name);
    list.WriteNumber(QStringLiteral("config"), QStringLiteral("sprawdz_wersje"), 0);
    for (const QString &category : categories) {
        ProfileFile subcategories(CatalogueFiles::subcategoryList(dir, category));
        for (const QString &sub : {polska, QStringLiteral("Niemcy")}) {
            KeyedList::subcategories.append(subcategories, sub);
            const ItemStore::Place place{dir, category, sub};
            ProfileFile(place.itemFile()).Edit([](ProfileEdit &edit) {
                for (int k = 1; k <= 10; ++k)
                    edit.WriteText(QStringLiteral("pozycje"), QString::number(k),
                                   k <= 3 ? QStringLiteral("Pole %1").arg(k) : QString());
            });
            for (int i = 0; i < (sub == polska ? items : 2); ++i)
                ItemStore::add(place, itemValues(i));
            for (int i = 0; i < 3; ++i) {
                for (int p = 0; p <= i; ++p)
                    ItemStore::addPhoto(place, i, QStringLiteral("/home/zbieracz/zdjęcia/%1_%2.jpg").arg(i).arg(p));
            }
        }
    }
}

struct Command
{
    bool multiFile = false;
    std::function<void(const QString &dir)> run;
};

QString importSource; // an export file on an ordinary disk

// The commands that write, through the core calls their windows make.
const QMap<QString, Command> &commands()
{
    static QMap<QString, Command> all;
    if (!all.isEmpty())
        return all;
    const auto place = [](const QString &dir) { return ItemStore::Place{dir, monety, polska}; };
    all.insert("settings save", {false, [](const QString &dir) {
                                     ProfileFile(CatalogueFiles::categoryList(dir))
                                         .WriteNumber(QStringLiteral("config"), QStringLiteral("sprawdz_wersje"), 1);
                                 }});
    all.insert("add category", {false, [](const QString &dir) {
                                    ProfileFile file(CatalogueFiles::categoryList(dir));
                                    KeyedList::categories.append(file, QStringLiteral("Znaczki"));
                                }});
    all.insert("add subcategory", {false, [](const QString &dir) {
                                       ProfileFile file(CatalogueFiles::subcategoryList(dir, monety));
                                       KeyedList::subcategories.append(file, QStringLiteral("Czechy"));
                                   }});
    all.insert("field names",
               {false, [](const QString &dir) {
                    ProfileFile(CatalogueFiles::itemFile(dir, monety, polska)).Edit([](ProfileEdit &edit) {
                        for (int k = 1; k <= 10; ++k)
                            edit.WriteText(QStringLiteral("pozycje"), QString::number(k),
                                           QStringLiteral("Nowe pole %1").arg(k));
                    });
                }});
    all.insert("add item", {false, [=](const QString &dir) { ItemStore::add(place(dir), itemValues(99)); }});
    all.insert("edit item", {false, [=](const QString &dir) { ItemStore::save(place(dir), 1, itemValues(77)); }});
    all.insert("delete item", {true, [=](const QString &dir) { ItemStore::remove(place(dir), 0); }});
    all.insert("add photo", {false, [=](const QString &dir) {
                                 ItemStore::addPhoto(place(dir), 2, QStringLiteral("/home/zbieracz/nowe.jpg"));
                             }});
    all.insert("remove photo", {false, [=](const QString &dir) {
                                    QStringList photos = ItemStore::photos(place(dir), 2);
                                    photos.removeFirst();
                                    ItemStore::setPhotos(place(dir), 2, photos);
                                }});
    all.insert("rename category", {true, [](const QString &dir) {
                                       CategoryStore::renameCategory(dir, 0, monety, QStringLiteral("Monety obiegowe"));
                                   }});
    all.insert("rename subcategory", {true, [](const QString &dir) {
                                          CategoryStore::renameSubcategory(dir, monety, 0, polska,
                                                                           QStringLiteral("Polska Ludowa"));
                                      }});
    all.insert("delete category", {true, [](const QString &dir) {
                                       CategoryStore::deleteCategory(dir, {QStringLiteral("Odznaczenia")}, monety);
                                   }});
    all.insert("delete subcategory", {true, [](const QString &dir) {
                                          CategoryStore::deleteSubcategory(dir, monety, {QStringLiteral("Niemcy")},
                                                                           polska);
                                      }});
    all.insert("export", {false, [](const QString &dir) { Export::run(dir, dir + QStringLiteral("eksport.txt")); }});
    all.insert("import", {true, [](const QString &dir) { Import::run(dir, importSource); }});
    return all;
}

qint64 freeBytes(const QString &path)
{
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(path).constData(), &fs) != 0)
        return -1;
    return qint64(fs.f_bavail) * qint64(fs.f_frsize);
}

// Takes all but `left` bytes of the file system's free space with real data (a sparse file takes none).
bool fill(const QString &fileName, qint64 left)
{
    QFile filler(fileName);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    qint64 wanted = freeBytes(QFileInfo(fileName).path()) - left;
    while (wanted > 0) {
        const qint64 written = filler.write(block.constData(), std::min<qint64>(wanted, block.size()));
        if (written <= 0)
            return false;
        wanted -= written;
    }
    return true;
}

} // namespace

// Every command that writes, run on a real file system with little room left: it either completes,
// leaving exactly what it leaves on a roomy disk, or throws "Unable to write to <file>" with every
// file whole (for a one-file command, byte for byte as before) and no temporary file left.
class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void commandOnAFullDisk_data();
    void commandOnAFullDisk();

private:
    QTemporaryDir m_mountPoint;
    QString m_disk;   // the mounted file system, with its closing separator
    TestDir m_source; // the import's export file, on an ordinary disk
    Files m_catalogue;
    int m_runs = 0;
    int m_completed = 0;
    int m_refused = 0;
};

void TestFullDisk::initTestCase()
{
    const QByteArray point = QFile::encodeName(m_mountPoint.path());
    if (::mount("tmpfs", point.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=512k,mode=0700") != 0)
        QSKIP("Mounting a small tmpfs needs root (CAP_SYS_ADMIN); the full-disk commands were not run.");
    m_disk = m_mountPoint.path() + QLatin1Char('/');

    // The import brings a category of its own and items over the existing ones.
    TestDir other;
    writeCatalogue(other.path(), {monety, QStringLiteral("Banknoty")}, 6);
    importSource = m_source.file("import.txt");
    Export::run(other.path(), importSource);

    TestDir roomy;
    writeCatalogue(roomy.path(), {monety, QStringLiteral("Odznaczenia")}, 16);
    m_catalogue = snapshot(roomy.path());
}

void TestFullDisk::cleanupTestCase()
{
    if (!m_disk.isEmpty())
        ::umount2(QFile::encodeName(m_mountPoint.path()).constData(), MNT_DETACH);
    qInfo("%d runs: %d completed, %d refused with every file whole", m_runs, m_completed, m_refused);
}

void TestFullDisk::commandOnAFullDisk_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<qint64>("left");
    for (const QString &command : commands().keys()) {
        for (const qint64 left : {0, 1024, 4096, 12 * 1024, 20 * 1024, 48 * 1024})
            QTest::addRow("%s, %lld bytes free", qPrintable(command), left) << command << left;
    }
}

void TestFullDisk::commandOnAFullDisk()
{
    QFETCH(QString, command);
    QFETCH(qint64, left);
    const Command &run = commands()[command];

    TestDir reference;
    restore(reference.path(), m_catalogue);
    ProfileStore::clear();
    run.run(reference.path());
    const Files after = snapshot(reference.path());
    QVERIFY(after != m_catalogue);

    restore(m_disk, m_catalogue);
    const QString filler = m_disk + QStringLiteral("zapychacz");
    QVERIFY(fill(filler, left));
    ProfileStore::clear();
    QString failure;
    try {
        run.run(m_disk);
    } catch (const AppError &error) {
        failure = error.message();
    }
    QVERIFY(QFile::remove(filler));
    const Files found = snapshot(m_disk);
    ++m_runs;

    if (failure.isEmpty()) {
        ++m_completed;
        QCOMPARE(found.keys(), after.keys());
        for (const QString &name : after.keys())
            QVERIFY2(found[name] == after[name], qPrintable(name));
        return;
    }
    ++m_refused;
    QVERIFY2(failure.startsWith(QStringLiteral("Unable to write to ") + m_disk), qPrintable(failure));
    if (!run.multiFile) {
        QCOMPARE(found.keys(), m_catalogue.keys());
        for (const QString &name : found.keys())
            QVERIFY2(found[name] == m_catalogue[name], qPrintable(name));
        return;
    }
    // Each file is what it was or what the command makes of it; nothing else is there.
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        const bool old = m_catalogue.contains(it.key()) && m_catalogue[it.key()] == *it;
        const bool made = after.contains(it.key()) && after[it.key()] == *it;
        QVERIFY2(old || made, qPrintable(it.key() + QStringLiteral(" is neither old nor new after: ") + failure));
    }
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
