#include "app/Glowny.h"
#include "exchange/Export.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeWidget>

namespace {

QAction *action(const char *name)
{
    return frmGlowny->findChild<QAction *>(QLatin1String(name));
}

QStringList categoriesShown()
{
    QStringList texts;
    for (int i = 0; i < frmGlowny->ListKategorie->topLevelItemCount(); ++i)
        texts.append(frmGlowny->ListKategorie->topLevelItem(i)->text(0));
    return texts;
}

void writeCatalogue(const TestDir &dir)
{
    dir.write("kategorie.gmd", crlfCp1250({"[kategorie]", "0=Monety", "1=Odznaczenia", "2=Żetony", "[config]",
                                           "liczba_kategorii=3"}));
    dir.write("Monety_podkategorie.gmd", crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
    dir.write("Monety_Polska_dane.gmd", crlf({"[pozycje]", "1=Rok", "[0]", "pozycja1=1934", "[config]",
                                              "liczba_pozycji=1"}));
}

} // namespace

class TestExchangeWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void exportAsksForAFileAndReports();
    void cancelledDialogsWriteNothing();
    void failedExportShowsTheErrorOnly();
    void importListsTheCategoriesOnce();
    void refusedImportShowsTheErrorOnly();

private:
    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_out;
};

void TestExchangeWindows::initTestCase()
{
    makeWindows(m_dir.path());
    frmGlowny->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmGlowny));
    QCoreApplication::processEvents();
}

void TestExchangeWindows::init()
{
    m_dialogs.shown.clear();
    m_dialogs.fileRequests.clear();
    for (const TestDir *dir : {&m_dir, &m_out}) {
        for (const QString &name : QDir(dir->path()).entryList(QDir::Files)) {
            QFile::setPermissions(dir->file(name), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QFile::remove(dir->file(name));
        }
    }
    frmGlowny->FormActivate();
}

void TestExchangeWindows::exportAsksForAFileAndReports()
{
    writeCatalogue(m_dir);
    m_dialogs.fileNameNext(m_out.file("kopia"));
    action("Eksportdanych1")->trigger();
    QCOMPARE(m_dialogs.fileRequests.size(), 1);
    QCOMPARE(m_dialogs.fileRequests[0].filter, QStringLiteral("Pliki tekstowe (*.txt)"));
    QCOMPARE(m_dialogs.fileRequests[0].proposed, QDir::home().filePath(QStringLiteral("gromadnik_eksport.txt")));
    QVERIFY(QFile::exists(m_out.file("kopia"))); // no extension added
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Informacja"));
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Dane zostały wyeksportowane poprawnie"));
    QCOMPARE(m_dialogs.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // The dialog offers the file chosen last.
    m_dialogs.fileNameNext(QString());
    action("Eksportdanych1")->trigger();
    QCOMPARE(m_dialogs.fileRequests[1].proposed, m_out.file("kopia"));
}

void TestExchangeWindows::cancelledDialogsWriteNothing()
{
    writeCatalogue(m_dir);
    const QByteArray catalogue = m_dir.read("kategorie.gmd");
    m_dialogs.fileNameNext(QString());
    action("Eksportdanych1")->trigger();
    m_dialogs.fileNameNext(QString());
    action("Importdanych1")->trigger();
    QCOMPARE(m_dialogs.fileRequests.size(), 2);
    QVERIFY(m_dialogs.shown.isEmpty());
    QVERIFY(QDir(m_out.path()).isEmpty());
    QCOMPARE(m_dir.read("kategorie.gmd"), catalogue);
}

void TestExchangeWindows::failedExportShowsTheErrorOnly()
{
    writeCatalogue(m_dir);
    m_out.write("e.txt", "[a]\r\nb=c\r\n");
    QFile::setPermissions(m_out.file("e.txt"), QFileDevice::ReadOwner);
    m_dialogs.fileNameNext(m_out.file("e.txt"));
    action("Eksportdanych1")->trigger();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Icon::Error);
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Unable to write to ") + m_out.file("e.txt") + '.');
    QCOMPARE(m_out.read("e.txt"), QByteArray("[a]\r\nb=c\r\n"));
}

void TestExchangeWindows::importListsTheCategoriesOnce()
{
    TestDir source;
    writeCatalogue(source);
    Export::run(source.path(), m_out.file("e.txt"));
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=Stara", "[config]", "liczba_kategorii=1"}));
    frmGlowny->FormActivate();

    m_dialogs.fileNameNext(m_out.file("e.txt"));
    action("Importdanych1")->trigger();
    QCOMPARE(m_dialogs.fileRequests[0].proposed, QDir::home().filePath(QStringLiteral("gromadnik_eksportuj.txt")));
    QVERIFY(!m_dialogs.fileRequests[0].mustExist);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Dane zostały zaimportowane poprawnie"));
    QTRY_COMPARE(categoriesShown(), QStringList({"Monety", "Odznaczenia", "Żetony"}));
    QTest::qWait(50); // every queued refresh has run: still each category once
    QCOMPARE(categoriesShown(), QStringList({"Monety", "Odznaczenia", "Żetony"}));
    QVERIFY(frmGlowny->isVisible());
    QVERIFY(m_dir.read("Monety_Polska_dane.gmd").contains("pozycja1=1934"));
}

void TestExchangeWindows::refusedImportShowsTheErrorOnly()
{
    writeCatalogue(m_dir);
    const QByteArray catalogue = m_dir.read("kategorie.gmd");
    m_out.write("lista.txt", crlf({"Lista zakupów", "chleb"}));
    m_dialogs.fileNameNext(m_out.file("lista.txt"));
    action("Importdanych1")->trigger();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(m_dialogs.shown[0].text.contains(QStringLiteral("nie zawiera danych wyeksportowanych")));
    QCOMPARE(m_dir.read("kategorie.gmd"), catalogue);
}

QTEST_MAIN(TestExchangeWindows)
#include "tst_exchangewindows.moc"
