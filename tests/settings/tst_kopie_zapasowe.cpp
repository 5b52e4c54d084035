#include "app/Command.h"
#include "app/Glowny.h"
#include "exchange/Export.h"
#include "settings/Kopie_zapasowe.h"
#include "store/Backup.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

namespace {

using Files = QMap<QString, QByteArray>;

Files snapshot(const TestDir &dir)
{
    Files files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, dir.read(name));
    return files;
}

void writeCatalogue(const TestDir &dir, const QString &category, int items)
{
    dir.write("kategorie.gmd", crlfCp1250({"[kategorie]", "0=" + category, "[config]", "liczba_kategorii=1"}));
    dir.write(category + "_podkategorie.gmd",
              crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
    QStringList lines{"[pozycje]", "1=Rok"};
    for (int n = 0; n < items; ++n)
        lines << QStringLiteral("[%1]").arg(n) << QStringLiteral("pozycja1=%1").arg(1900 + n);
    dir.write(category + "_Polska_dane.gmd",
              crlf(lines << "[config]" << QStringLiteral("liczba_pozycji=%1").arg(items)));
}

void click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestKopieZapasowe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void restoreFromTheWindow();
    void failedBackupStopsTheCommandItGuards_data();
    void failedBackupStopsTheCommandItGuards();

private:
    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_backups;
};

void TestKopieZapasowe::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    makeWindows(m_dir.path());
    frmGlowny->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmGlowny));
}

void TestKopieZapasowe::init()
{
    m_dialogs.shown.clear();
    for (const TestDir *dir : {&m_dir, &m_backups}) {
        for (const QString &name : QDir(dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            QDir(dir->file(name)).removeRecursively() || QFile::remove(dir->file(name));
    }
    Backup::setFolder(m_backups.path());
}

// The archive listed with its items; a No changes nothing; a Yes first keeps the present catalogue
// in a new archive, then brings back the chosen one, which the main window lists.
void TestKopieZapasowe::restoreFromTheWindow()
{
    writeCatalogue(m_dir, QStringLiteral("Monety"), 7);
    const Files kept = snapshot(m_dir);
    whenShown(frmKopie_zapasowe, [] {
        click(frmKopie_zapasowe->btnUtworz);
        QTest::qWait(1100); // the next archive is named by another second
        frmKopie_zapasowe->close();
    });
    runCommand([] { frmGlowny->Kopiezapasowe1Click(); });
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.startsWith("Kopia zapasowa została zapisana w pliku "));

    QFile::remove(m_dir.file("Monety_podkategorie.gmd"));
    QFile::remove(m_dir.file("Monety_Polska_dane.gmd"));
    writeCatalogue(m_dir, QStringLiteral("Żetony"), 2);
    const Files changed = snapshot(m_dir);
    m_dialogs.answerNext(QMessageBox::No);
    m_dialogs.answerNext(QMessageBox::Yes);
    QStringList rows;
    whenShown(frmKopie_zapasowe, [&] {
        QTreeWidget *list = frmKopie_zapasowe->ListKopie;
        QCOMPARE(list->accessibleName(), QStringLiteral("Kopie zapasowe"));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("7"));
        list->setCurrentItem(list->topLevelItem(0));
        click(frmKopie_zapasowe->btnPrzywroc);
        QCOMPARE(snapshot(m_dir), changed);
        click(frmKopie_zapasowe->btnPrzywroc);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(2);
        click(frmKopie_zapasowe->btnZamknij);
    });
    runCommand([] { frmGlowny->Kopiezapasowe1Click(); });
    QCOMPARE(snapshot(m_dir), kept);
    QCOMPARE(rows, QStringList({"2", "7"})); // the newest first: the catalogue just replaced
    QCOMPARE(m_dialogs.shown.size(), 4);
    QCOMPARE(m_dialogs.shown[1].caption, QStringLiteral("Pytanie"));
    QCOMPARE(m_dialogs.shown[1].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(m_dialogs.shown[3].text.startsWith("Katalog został przywrócony z kopii zapasowej z dnia "));
    QTRY_COMPARE(frmGlowny->ListKategorie->topLevelItemCount(), 1);
    QCOMPARE(frmGlowny->ListKategorie->topLevelItem(0)->text(0), QStringLiteral("Monety"));
}

void TestKopieZapasowe::failedBackupStopsTheCommandItGuards_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("import") << "import";
    QTest::newRow("restore") << "restore";
}

// A backup folder that cannot be made (its place is a file): one message, and the import or the
// restore does not run.
void TestKopieZapasowe::failedBackupStopsTheCommandItGuards()
{
    QFETCH(QString, command);
    TestDir other;
    writeCatalogue(other, QStringLiteral("Banknoty"), 3);
    Export::run(other.path(), other.file("eksport.txt"));
    const QString archive = Backup::create(other.path(), m_backups.path());
    writeCatalogue(m_dir, QStringLiteral("Monety"), 5);
    const Files before = snapshot(m_dir);
    m_backups.write("plik", "x");
    Backup::setFolder(m_backups.file("plik/Kopie"));

    if (command == "import") {
        m_dialogs.fileNameNext(other.file("eksport.txt"));
        runCommand([] { frmGlowny->Import1Click(); });
    } else {
        m_dialogs.answerNext(QMessageBox::Yes);
        Backup::setFolder(m_backups.path());
        frmKopie_zapasowe->FormShow();
        Backup::setFolder(m_backups.file("plik/Kopie"));
        runCommand([] { frmKopie_zapasowe->btnPrzywrocClick(); });
    }
    const QList<ScriptedDialogs::Shown> errors = m_dialogs.shown.mid(command == "restore" ? 1 : 0);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].icon, Dialogs::Icon::Error);
    QVERIFY2(errors[0].text.startsWith("Nie można utworzyć folderu kopii zapasowych "), qPrintable(errors[0].text));
    QCOMPARE(snapshot(m_dir), before);
    QVERIFY(QFile::exists(archive));
}

QTEST_MAIN(TestKopieZapasowe)
#include "tst_kopie_zapasowe.moc"
