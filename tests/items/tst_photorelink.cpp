#include "items/PhotoRelink.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "store/ProfileStore.h"
#include "support/TestFiles.h"
#include "viewer/MissingPhotos.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// A catalogue whose photos lay in a folder "Stare zdjęcia Łódź" that the collector has since moved
// to "Nowe zdjęcia Gdańsk", taking only some of the files; one photo is used by two items, one of a
// Windows catalogue, one in a folder whose name begins like the old one's.
struct MovedPhotos
{
    TestDir data;
    TestDir pictures;
    QString old = pictures.path() + QStringLiteral("Stare zdjęcia Łódź");
    QString moved = pictures.path() + QStringLiteral("Nowe zdjęcia Gdańsk");
    QString kept = pictures.path() + QStringLiteral("Obecne");
    QString windows = pictures.path() + QStringLiteral("Z Windows");
    // Photo list file -> its paths.
    QMap<QString, QStringList> lists{
        {QStringLiteral("Monety_Polska_0.gmd"), {old + "/a.jpg", old + "/b.jpg", kept + "/k.jpg"}},
        {QStringLiteral("Monety_Polska_1.gmd"), {old + "/sub/c.jpg", QStringLiteral("C:\\Zdjecia\\w.jpg")}},
        {QStringLiteral("Monety_Łódź_0.gmd"), {old + "/a.jpg", old + "/d.jpg"}},
        {QStringLiteral("Znaczki_Polska_0.gmd"), {old + "/e.jpg", old + " 2/x.jpg"}},
    };

    MovedPhotos()
    {
        data.write("kategorie.gmd", crlf({"[kategorie]", "0=Monety", "1=Znaczki", "[config]", "liczba_kategorii=2"}));
        data.write("Monety_podkategorie.gmd",
                   crlfCp1250({"[podkategorie]", "0=Polska", "1=Łódź", "[config]", "liczba_podkategorii=2"}));
        data.write("Znaczki_podkategorie.gmd",
                   crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
        data.write("Monety_Polska_dane.gmd", crlfCp1250({"[pozycje]", "1=Nominał", "[0]", "pozycja1=5 złotych", "[1]",
                                                         "pozycja1=10 groszy", "[config]", "liczba_pozycji=2"}));
        // The first named field is the second one.
        data.write(QStringLiteral("Monety_Łódź_dane.gmd"),
                   crlf({"[pozycje]", "1=", "2=Rok", "[0]", "pozycja2=1921", "[config]", "liczba_pozycji=1"}));
        data.write("Znaczki_Polska_dane.gmd",
                   crlfCp1250({"[pozycje]", "1=Nazwa", "[0]", "pozycja1=Orzeł", "[config]", "liczba_pozycji=1"}));
        for (auto list = lists.cbegin(); list != lists.cend(); ++list)
            data.write(list.key(), photoList(list.value()));
        for (const QString &file : {moved + "/a.jpg", moved + "/sub/c.jpg", moved + "/e.jpg", kept + "/k.jpg",
                                    windows + "/w.jpg", old + " 2/x.jpg.bak"})
            touch(file);
    }

    // Byte for byte as the program leaves a photo list, with a line of another program after it.
    static QByteArray photoList(const QStringList &paths)
    {
        QStringList lines{"[zdjecia]"};
        for (int p = 0; p < paths.size(); ++p)
            lines << QStringLiteral("%1=%2").arg(p).arg(paths[p]);
        return crlfCp1250(
            lines + QStringList{"[config]", QStringLiteral("liczba_zdjec=%1").arg(paths.size()), "; dopisane ręcznie"});
    }

    static void touch(const QString &file)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("Cannot make a picture file");
    }

    // Every photo list as the relink must leave it: each path under `from` that `map` names changed.
    void verifyLists(const QMap<QString, QString> &map) const
    {
        for (auto list = lists.cbegin(); list != lists.cend(); ++list) {
            QStringList paths = list.value();
            for (QString &path : paths)
                path = map.value(path, path);
            QCOMPARE(data.read(list.key()), photoList(paths));
        }
        QCOMPARE(QDir(data.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("gromadnik")),
                 QStringList());
    }
};

} // namespace

class TestPhotoRelink : public QObject
{
    Q_OBJECT

private slots:
    void init() { ProfileStore::clear(); }
    void scanFindsTheMissingByFolder();
    void relink_data();
    void relink();
    void refusedRelinkChangesNothing_data();
    void refusedRelinkChangesNothing();
};

void TestPhotoRelink::scanFindsTheMissingByFolder()
{
    const MovedPhotos photos;
    const MissingPhotoScan scan = MissingPhotos::scan(photos.data.path());
    QCOMPARE(scan.paths, 9);
    QStringList found;
    for (const MissingFolder &folder : scan.folders) {
        for (const MissingPhoto &photo : folder.photos) {
            QStringList uses;
            for (const PhotoUse &use : photo.uses)
                uses << QStringLiteral("%1/%2/%3/%4").arg(use.category, use.subcategory).arg(use.item).arg(use.title);
            found << folder.folder + " | " + photo.path.mid(folder.folder.size() + 1) + " | " + uses.join(", ");
        }
    }
    const QString old = photos.old;
    QCOMPARE(found, QStringList({
                        old + " | a.jpg | Monety/Polska/0/5 złotych, Monety/Łódź/0/1921",
                        old + " | b.jpg | Monety/Polska/0/5 złotych",
                        old + " | d.jpg | Monety/Łódź/0/1921",
                        old + " | e.jpg | Znaczki/Polska/0/Orzeł",
                        old + " 2 | x.jpg | Znaczki/Polska/0/Orzeł",
                        old + "/sub | c.jpg | Monety/Polska/1/10 groszy",
                        "C:\\Zdjecia | w.jpg | Monety/Polska/1/10 groszy",
                    }));
}

// The rows name the fixture's folders as {old}, {moved}, {kept} and {windows}: it is made anew for each.
void TestPhotoRelink::relink_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("relinked");
    QTest::addColumn<int>("left");
    QTest::addColumn<QStringList>("changed"); // the paths whose file was found, old and new by turns

    // Subfolders go along; the folder whose name only begins alike stays.
    QTest::newRow("moved, some files left behind")
        << "{old}"
        << "{moved}/" << 3 << 2 << QStringList{"{old}/a.jpg",       "{moved}/a.jpg", "{old}/sub/c.jpg",
                                               "{moved}/sub/c.jpg", "{old}/e.jpg",   "{moved}/e.jpg"};
    QTest::newRow("a subfolder alone") << "{old}/sub/"
                                       << "{moved}/sub" << 1 << 0
                                       << QStringList{"{old}/sub/c.jpg", "{moved}/sub/c.jpg"};
    QTest::newRow("from a Windows catalogue")
        << "C:\\Zdjecia"
        << "{windows}" << 1 << 0 << QStringList{"C:\\Zdjecia\\w.jpg", "{windows}/w.jpg"};
    QTest::newRow("nothing there") << "{old}"
                                   << "{kept}" << 0 << 5 << QStringList{};
    QTest::newRow("letter case differs") << "{OLD}"
                                         << "{moved}" << 0 << 0 << QStringList{};
}

void TestPhotoRelink::relink()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, relinked);
    QFETCH(int, left);
    QFETCH(QStringList, changed);
    const MovedPhotos photos;
    const auto here = [&](QString path) {
        return path.replace("{old}", photos.old)
            .replace("{OLD}", photos.old.toUpper())
            .replace("{moved}", photos.moved)
            .replace("{kept}", photos.kept)
            .replace("{windows}", photos.windows);
    };
    const PhotoRelink::Result result = PhotoRelink::run(photos.data.path(), here(from), here(to));
    QCOMPARE(result.relinked, relinked);
    QCOMPARE(result.left, left);
    QMap<QString, QString> map;
    for (qsizetype i = 0; i + 1 < changed.size(); i += 2)
        map.insert(here(changed[i]), here(changed[i + 1]));
    photos.verifyLists(map);
    // What was found is no longer missing.
    for (const MissingFolder &folder : MissingPhotos::scan(photos.data.path()).folders) {
        for (const MissingPhoto &photo : folder.photos)
            QVERIFY2(!map.contains(photo.path), qPrintable(photo.path));
    }
}

void TestPhotoRelink::refusedRelinkChangesNothing_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<bool>("readOnlyList");
    QTest::addColumn<QString>("message");
    QTest::newRow("outside Windows-1250")
        << QStringLiteral("Фото") << false << QStringLiteral("nie należy do strony kodowej Windows-1250");
    QTest::newRow("a photo list read-only") << QStringLiteral("Nowe") << true << QStringLiteral("Unable to write to");
}

void TestPhotoRelink::refusedRelinkChangesNothing()
{
    QFETCH(QString, folderName);
    QFETCH(bool, readOnlyList);
    QFETCH(QString, message);
    const MovedPhotos photos;
    const QString to = photos.pictures.path() + folderName;
    for (const char *name : {"/a.jpg", "/b.jpg", "/d.jpg", "/e.jpg", "/sub/c.jpg"})
        MovedPhotos::touch(to + name);
    if (readOnlyList)
        QFile::setPermissions(photos.data.file(QStringLiteral("Monety_Łódź_0.gmd")), QFile::ReadOwner);
    try {
        PhotoRelink::run(photos.data.path(), photos.old, to);
        QFAIL("the relink was not refused");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        QVERIFY(!error.message().contains(QLatin1String(Journal::stagedSuffix)));
    }
    photos.verifyLists({});
}

QTEST_GUILESS_MAIN(TestPhotoRelink)
#include "tst_photorelink.moc"
