#include "store/Backup.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <sys/mount.h>
#include <zip.h>

namespace {

using Files = QMap<QString, QByteArray>;

Files snapshot(const QString &folder)
{
    Files files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

// Names are relative to the data directory `dir`, which may end in a prefix of the file names.
void writeCatalogue(const QString &dir, int items)
{
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("kategorie.gmd", crlfCp1250({"[kategorie]", "0=Monety", "1=Żetony", "[config]", "liczba_kategorii=2"}));
    write("Monety_podkategorie.gmd", crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
    QStringList lines{"[pozycje]", "1=Nominał"};
    for (int n = 0; n < items; ++n) {
        lines << QStringLiteral("[%1]").arg(n) << QStringLiteral("pozycja1=%1 złotych").arg(n);
        write(QStringLiteral("Monety_Polska_%1.gmd").arg(n),
              crlfCp1250({"[zdjecia]", QStringLiteral("0=C:\\Zdjęcia\\%1.jpg").arg(n), "[config]", "liczba_zdjec=1"}));
    }
    lines << "[config]" << QStringLiteral("liczba_pozycji=%1").arg(items);
    write("Monety_Polska_dane.gmd", crlfCp1250(lines));
}

QDateTime at(const char *text)
{
    return QDateTime::fromString(QLatin1String(text), QStringLiteral("yyyy-MM-dd HH:mm"));
}

// An archive whose entries are the given names and contents, as another program could make it.
void writeZip(const QString &path, const Files &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    QList<QByteArray> kept;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        kept.append(it.value());
        zip_source_t *source = zip_source_buffer(archive, kept.last().constData(), kept.last().size(), 0);
        QVERIFY(zip_file_add(archive, it.key().toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(archive), 0);
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void restoreGivesBackEveryFile_data();
    void restoreGivesBackEveryFile();
    void expired_data();
    void expired();
    void pruneDeletesOnlyItsOwnArchives();
    void damagedArchiveChangesNothing_data();
    void damagedArchiveChangesNothing();
    void fullDiskLeavesNoArchive();
};

void TestBackup::restoreGivesBackEveryFile_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("data folder of its own") << QString();
    QTest::newRow("data directory naming a prefix") << QStringLiteral("Kolekcja ");
}

// Byte for byte: catalogue files changed, added and removed since come back as they were; the
// files of others in the folder are neither copied nor touched.
void TestBackup::restoreGivesBackEveryFile()
{
    QFETCH(QString, prefix);
    TestDir data, backups;
    const QString dir = data.path() + prefix;
    writeCatalogue(dir, 12);
    data.write("wersja.txt", "0.2.9");
    const Files before = snapshot(data.path());

    const QString archive = Backup::create(dir, backups.path());
    const QList<Backup::Archive> listed = Backup::list(backups.path());
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].path, archive);
    QCOMPARE(listed[0].items, 12);
    QCOMPARE(listed[0].size, QFileInfo(archive).size());
    QVERIFY(qAbs(listed[0].made.secsTo(QDateTime::currentDateTime())) < 5);

    writeCatalogue(dir, 3);
    data.write(prefix + "Nowe_podkategorie.gmd", "[config]\r\n");
    QVERIFY(QFile::remove(dir + "Monety_podkategorie.gmd"));
    data.write("wersja.txt", "0.3.0");
    bool askedFirst = false;
    Backup::restore(dir, archive, [&] { askedFirst = snapshot(data.path()) != before; });
    QVERIFY(askedFirst);

    Files expected = before;
    expected["wersja.txt"] = "0.3.0";
    QCOMPARE(snapshot(data.path()), expected);
    QVERIFY(!Journal::isPending(dir));
}

void TestBackup::expired_data()
{
    QTest::addColumn<QList<QDateTime>>("made");
    QTest::addColumn<QList<QDateTime>>("deleted");
    // Three a month over 14 months: the newest 20 reach back to May; of January to April the
    // newest of each stays; what is older than 12 months goes.
    QList<QDateTime> monthly;
    QList<QDateTime> oldOnes;
    for (QDate month(2025, 11, 1); month <= QDate(2026, 12, 1); month = month.addMonths(1)) {
        for (int day : {5, 15, 25}) {
            if (month.month() == 12 && month.year() == 2026 && day > 5)
                continue;
            const QDateTime made(month.addDays(day - 1), QTime(10, 0));
            monthly.append(made);
            if (made.date() < QDate(2026, 1, 1) || (made.date() < QDate(2026, 5, 20) && day != 25))
                oldOnes.append(made);
        }
    }
    QTest::newRow("40 over 14 months") << monthly << oldOnes;
    QTest::newRow("few, however old") << QList<QDateTime>{at("2019-03-01 10:00"), at("2019-02-01 10:00")}
                                      << QList<QDateTime>{};
    QList<QDateTime> hourly;
    for (int hour = 0; hour < 24; ++hour)
        hourly.append(QDateTime(QDate(2026, 12, 9), QTime(hour, 0)));
    QTest::newRow("24 in one day") << hourly << hourly.mid(0, 4);
    QList<QDateTime> yearAgo = hourly.mid(4);
    yearAgo << at("2026-01-31 23:00") << at("2026-01-02 10:00") << at("2025-12-31 23:59");
    QTest::newRow("the month a year back is out")
        << yearAgo << QList<QDateTime>{at("2026-01-02 10:00"), at("2025-12-31 23:59")};
}

void TestBackup::expired()
{
    QFETCH(QList<QDateTime>, made);
    QFETCH(QList<QDateTime>, deleted);
    QList<QDateTime> answer = Backup::expired(made, at("2026-12-10 12:00"));
    std::sort(answer.begin(), answer.end());
    std::sort(deleted.begin(), deleted.end());
    QCOMPARE(answer, deleted);
}

void TestBackup::pruneDeletesOnlyItsOwnArchives()
{
    TestDir data, backups;
    writeCatalogue(data.path(), 2);
    const QStringList others{"Gromadnik kopia.zip", "notatki.zip", "Gromadnik 2020-01-01 00-00-00.zip.bak",
                             "Gromadnik 2020-13-01 00-00-00.zip"};
    for (const QString &name : others)
        backups.write(name, "x");
    for (int day = 1; day <= 25; ++day)
        backups.write(Backup::archiveName(QDateTime(QDate(2020, 1, day), QTime(8, 0))), "stara kopia");
    const TestDir empty;
    QCOMPARE(Backup::create(empty.path(), backups.path()), QString()); // nothing to keep, nothing made
    const QString made = Backup::create(data.path(), backups.path());
    QStringList left = QDir(backups.path()).entryList(QDir::Files);
    for (const QString &name : others)
        QVERIFY2(left.removeOne(name), qPrintable(name));
    QVERIFY(left.removeOne(QFileInfo(made).fileName()));
    QCOMPARE(left.size(), 19);
    QVERIFY(!left.contains(Backup::archiveName(QDateTime(QDate(2020, 1, 6), QTime(8, 0)))));
    QVERIFY(left.contains(Backup::archiveName(QDateTime(QDate(2020, 1, 7), QTime(8, 0)))));
}

void TestBackup::damagedArchiveChangesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut short") << "cut"
                               << "nie jest archiwum zip";
    QTest::newRow("not a zip") << "text"
                               << "nie jest archiwum zip";
    QTest::newRow("empty file") << "empty"
                                << "nie jest archiwum zip";
    QTest::newRow("a byte changed") << "flipped"
                                    << "archiwum jest uszkodzone";
    QTest::newRow("leaves the folder") << "../kategorie.gmd"
                                       << "\"../kategorie.gmd\"";
    QTest::newRow("absolute name") << "/tmp/Monety_podkategorie.gmd"
                                   << "\"/tmp/Monety_podkategorie.gmd\"";
    QTest::newRow("into a subfolder") << "kopia/Monety_podkategorie.gmd"
                                      << "\"kopia/Monety_podkategorie.gmd\"";
    QTest::newRow("no catalogue file") << "notatki.txt"
                                       << "\"notatki.txt\"";
    QTest::newRow("no category list") << "-"
                                      << "nie zawiera listy kategorii";
}

void TestBackup::damagedArchiveChangesNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestDir data, backups, other;
    writeCatalogue(other.path(), 40);
    const QString sound = Backup::create(other.path(), other.path());
    QFile file(sound);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    const QString archive = backups.file(Backup::archiveName(QDateTime::currentDateTime()));
    if (fault == "cut")
        backups.write(QFileInfo(archive).fileName(), bytes.left(bytes.size() / 2));
    else if (fault == "text")
        backups.write(QFileInfo(archive).fileName(), "[kategorie]\r\n0=Monety\r\n");
    else if (fault == "empty")
        backups.write(QFileInfo(archive).fileName(), {});
    else if (fault == "flipped") {
        const qsizetype at = bytes.indexOf("\\20.jpg");
        QVERIFY(at > 0);
        bytes[at + 1] = '7';
        backups.write(QFileInfo(archive).fileName(), bytes);
    } else {
        Files entries{{"Monety_podkategorie.gmd", "[config]\r\n"}};
        if (fault != "-")
            entries.insert(fault, "[config]\r\n");
        if (fault != "-" && !fault.endsWith("kategorie.gmd"))
            entries.insert("kategorie.gmd", "[config]\r\n");
        writeZip(archive, entries);
    }

    writeCatalogue(data.path(), 5);
    const Files before = snapshot(data.path());
    bool backedUp = false;
    try {
        Backup::restore(data.path(), archive, [&] { backedUp = true; });
        QFAIL("the archive was taken");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        QVERIFY2(error.message().endsWith("Katalog nie został zmieniony."), qPrintable(error.message()));
    }
    QVERIFY(!backedUp);
    QCOMPARE(snapshot(data.path()), before);
}

// A backup folder on a small file system that fills up on the way: no archive, whole or partial,
// is left, the catalogue is as it was, and the message says why.
void TestBackup::fullDiskLeavesNoArchive()
{
    QTemporaryDir mountPoint;
    const QByteArray point = QFile::encodeName(mountPoint.path());
    if (::mount("tmpfs", point.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") != 0)
        QSKIP("Mounting a small tmpfs needs root (CAP_SYS_ADMIN); the full-disk backup was not made.");
    const auto unmount = qScopeGuard([&] { ::umount2(point.constData(), MNT_DETACH); });
    TestDir data;
    writeCatalogue(data.path(), 800);
    const Files before = snapshot(data.path());
    try {
        Backup::create(data.path(), mountPoint.path() + "/Kopie zapasowe");
        QFAIL("the archive was written");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains("na dysku zabrakło miejsca"), qPrintable(error.message()));
    }
    QCOMPARE(QDir(mountPoint.path() + "/Kopie zapasowe").entryList(QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(snapshot(data.path()), before);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
