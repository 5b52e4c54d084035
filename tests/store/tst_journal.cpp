#include "app/Application.h"
#include "app/Glowny.h"
#include "categories/CategoryStore.h"
#include "exchange/Export.h"
#include "items/ItemStore.h"
#include "store/Backup.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "store/ProfileFile.h"
#include "store/Trash.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace {

using Files = QMap<QString, QByteArray>;

// Monety (Polska, Niemcy) and Znaczki (Polska), `items` items in Monety/Polska and fewer in the
// others, every item with a photo list. `variant` 1 holds more items, other values and one more
// category: the catalogue an import brings.
Files catalogue(int items, int variant = 0)
{
    struct Sub
    {
        QString category, name;
        int items;
    };
    QList<Sub> subs{{"Monety", "Polska", items}, {"Monety", "Niemcy", items * 2 / 3}, {"Znaczki", "Polska", items / 3}};
    if (variant == 1) {
        for (Sub &sub : subs)
            sub.items += 20;
        subs.append({"Odznaczenia", "Ordery", 30});
    }
    const auto keyedList = [](const char *section, const char *counter, const QStringList &entries) {
        QByteArray bytes = "[" + QByteArray(section) + "]\r\n";
        for (int i = 0; i < entries.size(); ++i)
            bytes += QByteArray::number(i) + '=' + entries[i].toLatin1() + "\r\n";
        return bytes + "[config]\r\n" + counter + '=' + QByteArray::number(entries.size()) + "\r\n";
    };
    Files files;
    QStringList categories;
    QMap<QString, QStringList> subcategories;
    for (const Sub &sub : subs) {
        if (!categories.contains(sub.category))
            categories << sub.category;
        subcategories[sub.category] << sub.name;
        QByteArray bytes = "[pozycje]\r\n1=Nazwa\r\n2=Rok\r\n";
        for (int n = 0; n < sub.items; ++n) {
            const QByteArray tag =
                QByteArray::number(variant) + '-' + sub.name.toLatin1() + '-' + QByteArray::number(n);
            bytes += '[' + QByteArray::number(n) + "]\r\npozycja1=Moneta " + tag +
                     "\r\npozycja2=" + QByteArray::number(1900 + n) + "\r\nopis=";
            // The last item's description is long and quoted: a move must carry it whole.
            bytes += n == sub.items - 1 ? '"' + QByteArray(3000, 'x') + "\\r\\n\"" : "Opis \xb3" + tag;
            bytes += "\r\nkomentarz=\r\nzdjecie=C:\\stare\\" + tag + ".bmp\r\n";
            files[QStringLiteral("%1_%2_%3.gmd").arg(sub.category, sub.name).arg(n)] =
                "[zdjecia]\r\n0=C:\\Zdjecia\\" + tag + "a.jpg\r\n1=C:\\Zdjecia\\" + tag +
                "b.jpg\r\n[config]\r\nliczba_zdjec=2\r\n";
        }
        files[sub.category + '_' + sub.name + "_dane.gmd"] =
            bytes + "[config]\r\nliczba_pozycji=" + QByteArray::number(sub.items) + "\r\n";
    }
    for (auto it = subcategories.begin(); it != subcategories.end(); ++it)
        files[it.key() + "_podkategorie.gmd"] = keyedList("podkategorie", "liczba_podkategorii", it.value());
    files["kategorie.gmd"] = keyedList("kategorie", "liczba_kategorii", categories) +
                             "sprawdz_wersje=0\r\naktywna=Monety\r\naktywna_id=0\r\n";
    return files;
}

void lay(const TestDir &dir, const Files &files)
{
    for (auto it = files.begin(); it != files.end(); ++it)
        dir.write(it.key(), it.value());
}

Files snapshot(const TestDir &dir)
{
    Files files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, dir.read(name));
    return files;
}

struct Walked
{
    int files = 0;
    QStringList faults;
};

// Reads the catalogue as the windows do, through its lists alone: every listed item must have
// its section and its photos, and every file of the folder must be reached.
Walked walk(const TestDir &dir)
{
    ProfileStore::clear();
    Walked walked;
    QSet<QString> reached{QStringLiteral("kategorie.gmd")};
    const QString d = dir.path();
    for (const QString &category : KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(d)))) {
        const QString subList = CatalogueFiles::subcategoryList(d, category);
        reached << QFileInfo(subList).fileName();
        const QStringList subs = KeyedList::subcategories.read(ProfileFile(subList));
        for (const QString &sub : subs) {
            const ItemStore::Place place{d, category, sub};
            reached << QFileInfo(place.itemFile()).fileName();
            const ProfileFile items(place.itemFile());
            const int count = items.ReadNumber("config", "liczba_pozycji", 0);
            for (int n = 0; n < count; ++n) {
                if (items.ReadText(QString::number(n), "pozycja1", {}).isEmpty())
                    walked.faults << QStringLiteral("item %1 of %2 is empty").arg(n).arg(place.itemFile());
                if (ItemStore::photos(place, n).size() != 2)
                    walked.faults << QStringLiteral("item %1 of %2 lost its photos").arg(n).arg(place.itemFile());
                reached << QFileInfo(place.photoList(n)).fileName();
            }
        }
    }
    for (const QString &name : QDir(d).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!reached.contains(name))
            walked.faults << "no list reaches " + name;
    }
    walked.files = int(reached.size());
    return walked;
}

// The trash holds one entry with all a delete removed, or nothing: item 3 of Monety/Polska with its
// photo list (the one a restore gives back), or as many files as a whole run keeps.
QStringList trashFaults(const TestDir &dir, const QString &command, bool deleted, qsizetype files)
{
    const bool ofItem = command == QLatin1String("delete-item") || command == QLatin1String("restore-item");
    if (!command.startsWith(QLatin1String("delete")) && !ofItem)
        return {};
    const QList<Trash::Entry> entries = Trash::entries(dir.path());
    const qsizetype folders = QDir(Trash::folderOf(dir.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    if (entries.size() != (deleted ? 1 : 0) || folders != entries.size())
        return {QStringLiteral("%1 trash entries in %2 folders").arg(entries.size()).arg(folders)};
    if (!deleted)
        return {};
    if (!ofItem)
        return entries[0].files().size() == files ? QStringList() : QStringList{"the trash entry lacks files"};
    const ProfileFile kept(entries[0].description());
    const QStringList values{kept.ReadText("pozycja", "pozycja1", {}), kept.ReadText("pozycja", "pozycja2", {}),
                             kept.ReadText("pozycja", "opis", {}), kept.ReadText("pozycja", "zdjecie", {})};
    const QStringList expected{"Moneta 0-Polska-3", "1903", QStringLiteral("Opis ł0-Polska-3"),
                               "C:\\stare\\0-Polska-3.bmp"};
    if (values != expected ||
        KeyedList::photos.read(kept) != QStringList{"C:\\Zdjecia\\0-Polska-3a.jpg", "C:\\Zdjecia\\0-Polska-3b.jpg"})
        return {"the trash holds the item in part: " + values.join(" | ")};
    return {};
}

QByteArray journal(const QString &description, const QList<QByteArray> &steps)
{
    QByteArray text = "GROMADNIK-JOURNAL 1\ncommand " + QUrl::toPercentEncoding(description) + '\n';
    for (const QByteArray &step : steps)
        text += step + '\n';
    return text + "end " + QByteArray::number(steps.size()) + ' ' +
           QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex() + '\n';
}

// The rename of Monety to "Monety PL" in a catalogue with one item in Monety/Polska.
struct RenameJournal
{
    QByteArray list = "[kategorie]\r\n0=Monety PL\r\n1=Znaczki\r\n[config]\r\nliczba_kategorii=2\r\n";
    QByteArray text =
        journal(QStringLiteral("zmiana nazwy kategorii \"Monety\" na \"Monety PL\""),
                {"rename Monety_podkategorie.gmd Monety%20PL_podkategorie.gmd",
                 "rename Monety_Polska_dane.gmd Monety%20PL_Polska_dane.gmd",
                 "rename Monety_Niemcy_dane.gmd Monety%20PL_Niemcy_dane.gmd",
                 "rename Monety_Polska_0.gmd Monety%20PL_Polska_0.gmd", "write kategorie.gmd " + list.toBase64()});
};

QStringList journalOrTemporaries(const TestDir &dir)
{
    // The lock of the running copy is no temporary.
    return QDir(dir.path())
        .entryList(QDir::Files | QDir::Hidden)
        .filter(QRegularExpression("^(?!gromadnik\\.lock$).*(gromadnik|\\.gmd\\.)"));
}

QString commandExecutable()
{
    return QStringLiteral(CATALOGUE_COMMAND);
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void killedCommandsLeaveTheCatalogueWhole();
    void interruptedJournal_data();
    void interruptedJournal();
    void leftoverTemporaries_data();
    void leftoverTemporaries();
    void refusedCommandsChangeNothing_data();
    void refusedCommandsChangeNothing();
    void deleteCarriesTheLastItemLineForLine();
    void startupFinishesTheCommandWithOneNotice();
};

// Each command runs in a child process killed with SIGKILL at a random moment; after the recovery
// the catalogue is the one before the command or the one after it, all of it reachable.
void TestJournal::killedCommandsLeaveTheCatalogueWhole()
{
    const QList<QStringList> commands{
        {"rename-category"}, {"rename-subcategory"}, {"delete-category"}, {"delete-subcategory"},
        {"delete-item"},     {"restore-item"},       {"import"},          {"relink"},
        {"restore"},         {"csv-import"}};
    const int kills =
        qEnvironmentVariableIsSet("GROMADNIK_CRASH_KILLS") ? qEnvironmentVariableIntValue("GROMADNIK_CRASH_KILLS") : 62;
    QRandomGenerator random(quint32(qEnvironmentVariableIntValue("GROMADNIK_CRASH_SEED") + 1));
    const Files before = catalogue(150);
    TestDir exportDir;
    {
        TestDir source;
        lay(source, catalogue(150, 1));
        Export::run(source.path(), exportDir.file("eksport.txt"));
    }
    // Rows for Monety/Polska, each with two photos: the item file and a photo list for every row.
    {
        QByteArray rows = "Nazwa;Rok;Opis;Zdj\xea\x63ia\r\n";
        for (int n = 0; n < 300; ++n)
            rows += "Moneta csv-" + QByteArray::number(n) + ';' + QByteArray::number(1800 + n) +
                    ";\"Opis\r\n\xb3\";\"C:\\csv\\" + QByteArray::number(n) + "a.jpg\r\nC:\\csv\\b.jpg\"\r\n";
        exportDir.write("import.csv", rows);
    }
    // The photos of C:\Zdjecia moved to a folder of their own, one in three of the second ones left behind.
    TestDir photoDir;
    for (const auto &[name, items] : {std::pair{"Polska", 150}, {"Niemcy", 100}}) {
        for (int n = 0; n < items; ++n) {
            const QString tag = QStringLiteral("0-%1-%2").arg(QLatin1String(name)).arg(n);
            photoDir.write(tag + "a.jpg", {});
            if (n % 3 != 0)
                photoDir.write(tag + "b.jpg", {});
        }
    }
    // An archive of fewer items: the restore removes files as well as writing them.
    QString archive;
    {
        TestDir source;
        lay(source, catalogue(40, 1));
        archive = Backup::create(source.path(), exportDir.path());
    }
    // A restore starts from the catalogue after the delete of item 3, which its trash entry holds.
    const auto prepare = [&](const TestDir &dir, const QStringList &arguments) {
        lay(dir, before);
        ProfileStore::clear();
        if (arguments.first() == QLatin1String("restore-item"))
            ItemStore::remove({dir.path(), "Monety", "Polska"}, 3);
        ProfileStore::clear();
    };
    const auto start = [&](QProcess &child, const TestDir &dir, QStringList arguments) {
        prepare(dir, arguments);
        if (arguments == QStringList{"import"})
            arguments << exportDir.file("eksport.txt");
        if (arguments == QStringList{"csv-import"})
            arguments << exportDir.file("import.csv");
        if (arguments == QStringList{"relink"})
            arguments << photoDir.path();
        if (arguments == QStringList{"restore"})
            arguments << archive;
        child.start(commandExecutable(), QStringList{dir.path()} + arguments);
        return child.waitForStarted() && child.waitForReadyRead(20000);
    };
    int total = 0;
    int totalFaults = 0;
    qint64 filesChecked = 0;
    for (const QStringList &command : commands) {
        const bool restoring = command.first() == QLatin1String("restore-item");
        TestDir initialDir;
        prepare(initialDir, command);
        const Files initial = snapshot(initialDir);
        // The command run whole gives the catalogue after it, and how long it takes.
        TestDir reference;
        QProcess whole;
        QVERIFY(start(whole, reference, command));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(whole.waitForFinished(60000));
        const qint64 duration = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);
        // The time a run takes varies with the disk; kills that come after the end draw the window in.
        qint64 window = duration * 6 / 5;
        QCOMPARE(whole.exitCode(), 0);
        const Files after = snapshot(reference);
        QVERIFY(after != initial);
        const Walked sound = walk(reference);
        QVERIFY2(sound.faults.isEmpty(), qPrintable(sound.faults.join('\n')));
        const QList<Trash::Entry> referenceTrash = Trash::entries(reference.path());
        const qsizetype trashFiles = referenceTrash.isEmpty() ? 0 : referenceTrash[0].files().size();
        const QStringList wholeTrash = trashFaults(reference, command.first(), !restoring, trashFiles);
        QVERIFY2(wholeTrash.isEmpty(), qPrintable(wholeTrash.join('\n')));

        int asBefore = 0, asAfter = 0, finishedFirst = 0, faults = 0, rolledForward = 0, swept = 0;
        const qint64 checkedBefore = filesChecked;
        // The item delete with its trash entry is the command a user gives most: three times the kills.
        const int share = command.first() == QLatin1String("delete-item") ? 3 : 1;
        const int runs = std::max(1, kills * share / int(commands.size()));
        for (int run = 0; run < runs; ++run) {
            TestDir dir;
            QProcess child;
            QVERIFY(start(child, dir, command));
            ::usleep(useconds_t(random.bounded(quint32(window))));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(20000));
            if (child.exitStatus() == QProcess::NormalExit) {
                ++finishedFirst;
                window = std::max<qint64>(window * 2 / 3, 1000);
            }

            ProfileStore::clear();
            const Journal::Recovery recovery = Journal::recover(dir.path());
            rolledForward += !recovery.command.isEmpty();
            swept += recovery.temporaries > 0 || recovery.discarded;
            const Walked walked = walk(dir);
            const Files state = snapshot(dir);
            filesChecked += walked.files;
            QStringList found = walked.faults;
            if (!recovery.failed.isEmpty())
                found << "recovery failed: " + recovery.failed;
            if (state == initial) {
                ++asBefore;
                window = std::min(window * 11 / 10, duration * 2); // and out again when they come too early
            } else if (state == after)
                ++asAfter;
            else
                found << "the catalogue is neither the one before nor the one after the command";
            found << trashFaults(dir, command.first(), (state == after) != restoring, trashFiles);
            if (!found.isEmpty()) {
                ++faults;
                qWarning().noquote() << command.first() << "run" << run << found.mid(0, 5).join("; ");
            }
        }
        qInfo().noquote() << QStringLiteral("%1: %2 kills, a whole run takes %3 ms; as before %4, as after %5 "
                                            "(of which the recovery finished %6, %7 had ended already); "
                                            "temporaries or a cut journal removed after %8; %9 files checked, "
                                            "%10 faults")
                                 .arg(command.first())
                                 .arg(runs)
                                 .arg(double(duration) / 1000, 0, 'f', 1)
                                 .arg(asBefore)
                                 .arg(asAfter)
                                 .arg(rolledForward)
                                 .arg(finishedFirst)
                                 .arg(swept)
                                 .arg(filesChecked - checkedBefore)
                                 .arg(faults);
        total += runs;
        totalFaults += faults;
    }
    qInfo().noquote() << QStringLiteral("%1 kills in all, %2 files checked through the lists, %3 faults")
                             .arg(total)
                             .arg(filesChecked)
                             .arg(totalFaults);
    QCOMPARE(totalFaults, 0);
}

void TestJournal::interruptedJournal_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("firstStepDone");
    QTest::addColumn<bool>("finished");
    const QByteArray whole = RenameJournal().text;
    QTest::newRow("whole") << whole << false << true;
    QTest::newRow("whole, killed after its first rename") << whole << true << true;
    QTest::newRow("cut before its end") << whole.left(whole.indexOf("end ")) << false << false;
    QTest::newRow("cut in its end line") << whole.chopped(9) << false << false;
    QTest::newRow("cut in a step") << whole.left(70) << false << false;
    QTest::newRow("empty") << QByteArray() << false << false;
    QByteArray damaged = whole;
    damaged.replace("Polska_0", "Polska_1");
    QTest::newRow("a step that does not match its checksum") << damaged << false << false;
}

// A journal that is whole is finished from wherever the command stopped; one cut short was being
// written when the program stopped, before any file changed, and is discarded.
void TestJournal::interruptedJournal()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, firstStepDone);
    QFETCH(bool, finished);
    TestDir dir;
    const Files before = catalogue(1);
    lay(dir, before);
    dir.write("Monety_Polska_0.gmd.~gromadnik-import", "staged"); // no journal moves it when cut short
    dir.write(Journal::fileName, text);
    if (firstStepDone)
        QVERIFY(QFile::rename(dir.file("Monety_podkategorie.gmd"), dir.file("Monety PL_podkategorie.gmd")));

    const Journal::Recovery recovery = Journal::recover(dir.path());
    QVERIFY(journalOrTemporaries(dir).isEmpty());
    const Files state = snapshot(dir);
    if (finished) {
        QCOMPARE(recovery.command, QStringLiteral("zmiana nazwy kategorii \"Monety\" na \"Monety PL\""));
        QVERIFY(recovery.notice().contains("dokończono je"));
        QCOMPARE(state.value("kategorie.gmd"), RenameJournal().list);
        QCOMPARE(state.value("Monety PL_Polska_0.gmd"), before.value("Monety_Polska_0.gmd"));
        QCOMPARE(state.value("Monety PL_podkategorie.gmd"), before.value("Monety_podkategorie.gmd"));
        QVERIFY(!state.contains("Monety_Polska_dane.gmd"));
        QVERIFY(walk(dir).faults.isEmpty());
    } else {
        QVERIFY(recovery.discarded);
        QVERIFY(recovery.notice().contains("zanim cokolwiek zmieniło"));
        QCOMPARE(state, before);
    }
}

void TestJournal::leftoverTemporaries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("swept");
    QTest::newRow("QSaveFile's, of a list") << "kategorie.gmd.AbCdEf" << true;
    QTest::newRow("QSaveFile's, of the journal") << ".gromadnik-dziennik.qWeRtY" << true;
    QTest::newRow("a write without sync") << "Monety_Polska_0.gmd.~gromadnik" << true;
    QTest::newRow("the journal's own") << ".gromadnik-dziennik.~gromadnik" << true;
    QTest::newRow("a new content written before its journal") << "Monety_podkategorie.gmd.~gromadnik-nowy" << true;
    QTest::newRow("the running copy's lock") << "gromadnik.lock" << false;
    QTest::newRow("an import's staged file") << "Monety_Polska_0.gmd.~gromadnik-import" << true;
    QTest::newRow("an import's staged file being written")
        << "Monety_Polska_0.gmd.~gromadnik-import.~gromadnik" << true;
    QTest::newRow("the user's copy, lower case") << "kategorie.gmd.backup" << false;
    QTest::newRow("the user's copy, upper case") << "kategorie.gmd.KOPIA1" << false;
    QTest::newRow("a picture's") << "zdjecie.jpg.AbCdEf" << false;
    QTest::newRow("not after a catalogue name") << "notatki.~gromadnik" << false;
    QTest::newRow("another program's file") << "wersja.txt" << false;
}

void TestJournal::leftoverTemporaries()
{
    QFETCH(QString, name);
    QFETCH(bool, swept);
    TestDir dir;
    const Files before = catalogue(1);
    lay(dir, before);
    dir.write(name, "[zdjecia]\r\n0=C:\\x.jpg\r\n");
    const Journal::Recovery recovery = Journal::recover(dir.path());
    QCOMPARE(QFile::exists(dir.file(name)), !swept);
    QCOMPARE(recovery.temporaries, swept ? 1 : 0);
    QCOMPARE(recovery.notice().contains("liczba plików: 1"), swept);
    Files state = snapshot(dir);
    state.remove(name);
    QCOMPARE(state, before);
}

void TestJournal::refusedCommandsChangeNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("item delete, read-only item file") << "delete-item"
                                                      << "Unable to write to";
    QTest::newRow("rename changing the case onto another entry's file") << "case-rename"
                                                                        << "należy już do innej pozycji";
}

void TestJournal::refusedCommandsChangeNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    TestDir dir;
    Files files = catalogue(3);
    if (command == "case-rename") {
        // Category "monety" has subcategory "Polska_x"; category "Monety_Polska" has "x": on a file
        // system that tells case apart, monety_Polska_x_dane.gmd would become the other's file.
        files = {{"kategorie.gmd", "[kategorie]\r\n0=monety\r\n1=Monety_Polska\r\n[config]\r\nliczba_kategorii=2\r\n"},
                 {"monety_podkategorie.gmd", "[podkategorie]\r\n0=Polska_x\r\n[config]\r\nliczba_podkategorii=1\r\n"},
                 {"Monety_Polska_podkategorie.gmd", "[podkategorie]\r\n0=x\r\n[config]\r\nliczba_podkategorii=1\r\n"},
                 {"monety_Polska_x_dane.gmd", "[0]\r\npozycja1=a\r\n[config]\r\nliczba_pozycji=1\r\n"},
                 {"Monety_Polska_x_dane.gmd", "[0]\r\npozycja1=b\r\n[config]\r\nliczba_pozycji=1\r\n"}};
    }
    lay(dir, files);
    try {
        if (command == "delete-item") {
            QFile::setPermissions(dir.file("Monety_Polska_dane.gmd"), QFileDevice::ReadOwner);
            ItemStore::remove({dir.path(), "Monety", "Polska"}, 0);
        } else {
            CategoryStore::renameCategory(dir.path(), 0, "monety", "Monety");
        }
        QFAIL("the command went through");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(snapshot(dir), files);
}

void TestJournal::deleteCarriesTheLastItemLineForLine()
{
    TestDir dir;
    const Files before = catalogue(3);
    lay(dir, before);
    ItemStore::remove({dir.path(), "Monety", "Polska"}, 0);
    const QByteArray items = dir.read("Monety_Polska_dane.gmd");
    const QByteArray old = before.value("Monety_Polska_dane.gmd");
    const auto section = [](const QByteArray &bytes, const QByteArray &name) {
        const qsizetype from = bytes.indexOf("[" + name + "]\r\n") + name.size() + 4;
        return bytes.mid(from, bytes.indexOf("\r\n[", from) + 2 - from);
    };
    QCOMPARE(section(items, "0"), section(old, "2"));
    QVERIFY(section(items, "0").contains(QByteArray(3000, 'x')));
    QCOMPARE(section(items, "1"), section(old, "1"));
    QVERIFY(!items.contains("[2]"));
    QCOMPARE(dir.read("Monety_Polska_0.gmd"), before.value("Monety_Polska_2.gmd"));
    QVERIFY(!QFile::exists(dir.file("Monety_Polska_2.gmd")));
}

// The start-up finishes a killed command before the main window reads the catalogue, and says so
// once.
void TestJournal::startupFinishesTheCommandWithOneNotice()
{
    TestDir dir;
    lay(dir, catalogue(1));
    dir.write(Journal::fileName, RenameJournal().text);
    dir.write("kategorie.gmd.XyZabc", "[kategorie]\r\n");
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    DataDirectory::setPath(dir.path());
    ScriptedDialogs dialogs;
    QStringList listed;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (frmGlowny && frmGlowny->isVisible() && listed.isEmpty()) {
            const auto *list = frmGlowny->findChild<QTreeWidget *>("ListKategorie");
            for (int i = 0; list && i < list->topLevelItemCount(); ++i)
                listed << list->topLevelItem(i)->text(0);
            if (!listed.isEmpty())
                frmGlowny->close();
        }
    });
    poll.start();
    QTimer::singleShot(20000, [] { Application::requestQuit(); });
    auto *app = static_cast<GromadnikApplication *>(QCoreApplication::instance());
    QCOMPARE(app->run(std::chrono::milliseconds(0)), 0);

    QCOMPARE(listed, QStringList({"Monety PL", "Znaczki"}));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Informacja"));
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("Poprzednie polecenie (zmiana nazwy kategorii \"Monety\" na \"Monety PL\") zostało "
                            "przerwane; dokończono je.\nUsunięto pliki tymczasowe pozostawione przez przerwany zapis "
                            "(liczba plików: 1); pliki katalogu nie zostały przez to zmienione."));
    QVERIFY(journalOrTemporaries(dir).isEmpty());
}

int main(int argc, char *argv[])
{
    // A long crash run (GROMADNIK_CRASH_KILLS in the hundreds) takes longer than QtTest allows a test.
    if (qEnvironmentVariableIsSet("GROMADNIK_CRASH_KILLS") && !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    GromadnikApplication app(argc, argv);
    TestJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journal.moc"
