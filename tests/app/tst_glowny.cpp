#include "app/Command.h"
#include "app/Glowny.h"
#include "app/Info.h"
#include "app/ItemListView.h"
#include "app/Kosz.h"
#include "app/Pozycje.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "categories/Dodaj_kategorie.h"
#include "categories/Dodaj_podkategorie.h"
#include "app/ItemGallery.h"
#include "items/ItemListProxy.h"
#include "items/ItemStore.h"
#include "settings/ViewState.h"
#include "support/TestPictures.h"
#include "viewer/ThumbnailLoader.h"
#include "items/Pozycje_edytuj.h"
#include "store/ProfileFile.h"
#include "settings/StartupCheck.h"
#include "store/ProfileStore.h"
#include "store/Trash.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"
#include "viewer/Pokaz.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSize>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

namespace {

QStringList entries(const QTreeWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(0));
    return texts;
}

QStringList headers(const QTreeView *list)
{
    QStringList texts;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        texts.append(list->model()->headerData(c, Qt::Horizontal).toString());
    return texts;
}

int rowCount(const QTreeView *list)
{
    return list->model()->rowCount();
}

QStringList row(const QTreeView *list, int index)
{
    QStringList texts;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        texts.append(list->model()->index(index, c).data().toString());
    return texts;
}

void selectRow(QTreeView *list, int index)
{
    list->setCurrentIndex(list->model()->index(index, 0));
}

void choose(QTreeWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

QString selectedText(const QTreeWidget *list)
{
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

QAction *action(const char *name)
{
    return frmGlowny->findChild<QAction *>(QLatin1String(name));
}

QStringList itemFile(const QStringList &names, const QList<QStringList> &items)
{
    QStringList lines{"[pozycje]"};
    for (int k = 1; k <= 10; ++k)
        lines << QStringLiteral("%1=%2").arg(k).arg(names.value(k - 1));
    for (int p = 0; p < items.size(); ++p) {
        lines << QStringLiteral("[%1]").arg(p);
        for (int k = 1; k <= 10; ++k)
            lines << QStringLiteral("pozycja%1=%2").arg(k).arg(items[p].value(k - 1));
    }
    lines << "[config]" << QStringLiteral("liczba_pozycji=%1").arg(items.size());
    return lines;
}

// Category A, subcategory B with the items x, y and z, chosen in the main window.
void showThreeItems(const TestDir &dir)
{
    dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    dir.write("A_B_dane.gmd", crlf(itemFile({"Nazwa"}, {{"x"}, {"y"}, {"z"}})));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
}

} // namespace

class TestGlowny : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startsAsDesigned();
    void refusesASubcategoryWithoutACategory();
    void browsesTheWorkedExample();
    void subcategoryWithoutNamesOrItems();
    void tenNamedFieldsGiveTenColumns();
    void valuesStandUnderTheirOwnFieldNames();
    void damagedItemCountIsReported();
    void categoryListFarTooLargeIsReportedOnce();
    void countsBeyondTheirFilesAreTold_data();
    void countsBeyondTheirFilesAreTold();
    void activationRefreshKeepsTheChoiceShown();
    void leftListsShareTheColumn();
    void viewCommandNeedsARow();
    void buildsACatalogueThroughThePopUps();
    void refusesNamesThatCannotBeFileNames();
    void pathSavedInTheDataDirectoryWindowIsListed_data();
    void pathSavedInTheDataDirectoryWindowIsListed();
    void choiceMadeBeforeTheActivationRefreshStays_data();
    void choiceMadeBeforeTheActivationRefreshStays();
    void itemCommandsGetTheItemNumberShown_data();
    void itemCommandsGetTheItemNumberShown();
    void filterBoxTellsWhatItShows();
    void cutCellShowsItsWholeText();
    void columnsAreKeptForEachSubcategory();
    void galleryShowsTheListAsTiles();
    void trashGivesBackAndEmptiesAfterAQuestion();

private:
    // Category "A", subcategory "B" of five towns, chosen; sorted by name from Z to A (two header
    // clicks) and filtered by "l": Łódź (item 0), Łomża (3), Lublin (2), as "ó" follows "o".
    void chooseSortedAndFiltered();
    QStringList itemValues(int item) const;

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
};

void TestGlowny::initTestCase()
{
    QVERIFY(showMainWindow(m_dir.path()));
}

void TestGlowny::init()
{
    m_dialogs.shown.clear();
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
        QFile::remove(m_dir.file(name));
    QDir(Trash::folderOf(m_dir.path())).removeRecursively();
    forgetViewState();
    frmGlowny->FormActivate();
}

void TestGlowny::startsAsDesigned()
{
    QCOMPARE(frmGlowny->windowTitle(), QStringLiteral("Gromadnik - Menu główne"));
    QCOMPARE(frmGlowny->panelText(3), QStringLiteral("Gromadnik ver. 0.2.9"));
    QCOMPARE(headers(frmGlowny->ListKategorie), QStringList{"Kategorie"});
    QCOMPARE(headers(frmGlowny->ListPodkategorie), QStringList{"Podkategorie"});
    QVERIFY(!frmGlowny->lblpozycja->isVisible());
    for (const char *name : {"Konfiguracja1", "Edytorkategorii1", "Importdanych1", "Eksportdanych1", "Aktualizacja1",
                             "Plikikonfiguracyjne1", "Zamknijprogram1", "Oprogramie1", "Stronadomowa1",
                             "Pomoctechniczna1", "Dodajnowkategorie1", "Dodajnowpodkategorie1", "Przedmioty1",
                             "Pokapozycje1", "Edytujpozycje1", "Dodajnowpozycje1", "Usuzaznaczonpozycje1"})
        QVERIFY2(action(name), name);
    QVERIFY(action("Aktualizacja1")->font().bold());
    QCOMPARE(frmGlowny->findChild<QMenu *>("InneDziejownik1")->actions().size(), 7);
    for (QAction *link : frmGlowny->findChild<QMenu *>("InneDziejownik1")->actions())
        QVERIFY(!link->icon().isNull());
    for (QWidget *list :
         {static_cast<QWidget *>(frmGlowny->ListKategorie), static_cast<QWidget *>(frmGlowny->ListPodkategorie),
          static_cast<QWidget *>(frmGlowny->ListPrzedmioty)})
        QVERIFY(!list->accessibleName().isEmpty());
}

void TestGlowny::browsesTheWorkedExample()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=Monety", "1=Odznaczenia", "[config]", "liczba_kategorii=2",
                                       "sprawdz_wersje=1"}));
    m_dir.write("Monety_podkategorie.gmd", crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
    m_dir.write("Monety_Polska_dane.gmd",
                crlfCp1250(itemFile({"Nominał", "Rok", "Stan"}, {{"5 złotych", "1934", "dobry"}})));
    frmGlowny->FormActivate();
    QCOMPARE(entries(frmGlowny->ListKategorie), QStringList({"Monety", "Odznaczenia"}));
    QVERIFY(frmGlowny->ListKategorie->selectedItems().isEmpty());

    const QString panel1 = frmGlowny->panelText(1);
    const QString panel2 = frmGlowny->panelText(2);
    choose(frmGlowny->ListKategorie, "Monety");
    QCOMPARE(frmGlowny->panelText(0), QStringLiteral("Monety"));
    QCOMPARE(entries(frmGlowny->ListPodkategorie), QStringList{"Polska"});
    QCOMPARE(frmGlowny->panelText(1), panel1);
    QCOMPARE(frmGlowny->panelText(2), panel2);

    choose(frmGlowny->ListPodkategorie, "Polska");
    QCOMPARE(frmGlowny->panelText(1), QStringLiteral("Polska"));
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 1"));
    QCOMPARE(headers(frmGlowny->ListPrzedmioty), QStringList({"Nominał", "Rok", "Stan"}));
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 1);
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 0), QStringList({"5 złotych", "1934", "dobry"}));
    // Wide enough for its name and its values, whatever the font.
    const QFontMetrics metrics = frmGlowny->ListPrzedmioty->fontMetrics();
    for (const char *text : {"Nominał", "5 złotych"})
        QVERIFY(frmGlowny->ListPrzedmioty->columnWidth(0) > metrics.horizontalAdvance(QString::fromUtf8(text)));
    QVERIFY(frmGlowny->ListPrzedmioty->columnWidth(0) <= 300);
    QVERIFY(frmGlowny->Dodajnowpozycje1->isEnabled());

    // Another category: its subcategories, no rows, but the columns and panels 1 and 2 stay.
    choose(frmGlowny->ListKategorie, "Odznaczenia");
    QCOMPARE(frmGlowny->panelText(0), QStringLiteral("Odznaczenia"));
    QVERIFY(entries(frmGlowny->ListPodkategorie).isEmpty());
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 0);
    QCOMPARE(headers(frmGlowny->ListPrzedmioty), QStringList({"Nominał", "Rok", "Stan"}));
    QCOMPARE(frmGlowny->panelText(1), QStringLiteral("Polska"));
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 1"));
    QTRY_VERIFY(!frmGlowny->findChild<StartupCheck *>()->running());
}

void TestGlowny::subcategoryWithoutNamesOrItems()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->columnCount(), 0);
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 0);
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 0"));
    QVERIFY(!frmGlowny->Dodajnowpozycje1->isEnabled());
}

void TestGlowny::tenNamedFieldsGiveTenColumns()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    const QStringList names{"p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9", "p10"};
    const QStringList values{"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10"};
    m_dir.write("A_B_dane.gmd", crlf(itemFile(names, {values, values})));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
    QCOMPARE(headers(frmGlowny->ListPrzedmioty), names);
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 1), values);
}

void TestGlowny::valuesStandUnderTheirOwnFieldNames()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    m_dir.write("A_B_dane.gmd", crlf(itemFile({"Kraj", "Rok", "", "Stan"}, {{"Polska", "1934", "ukryte", "dobry"}})));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
    QCOMPARE(headers(frmGlowny->ListPrzedmioty), QStringList({"Kraj", "Rok", "Stan"}));
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 0), QStringList({"Polska", "1934", "dobry"}));
}

void TestGlowny::damagedItemCountIsReported()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    QStringList lines = itemFile({"Nazwa"}, {{"x"}});
    lines.last() = "liczba_pozycji=dwa";
    m_dir.write("A_B_dane.gmd", crlf(lines));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Gromadnik"));
    QVERIFY(m_dialogs.shown[0].text.contains("\"dwa\""));
    QCOMPARE(headers(frmGlowny->ListPrzedmioty), QStringList{"Nazwa"});
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 0);
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: dwa"));
}

void TestGlowny::categoryListFarTooLargeIsReportedOnce()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    QVERIFY(QFile::resize(m_dir.file("kategorie.gmd"), 20 * 1024 * 1024));
    runCommand([] { frmGlowny->FormActivate(); });
    runCommand([] { frmGlowny->FormActivate(); }); // the main window is active again after the notice
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Gromadnik"));
    QVERIFY2(m_dialogs.shown[0].text.contains("kategorie.gmd ma 20 MB"), qPrintable(m_dialogs.shown[0].text));
    QCOMPARE(entries(frmGlowny->ListKategorie), QStringList());
    QCOMPARE(QFileInfo(m_dir.file("kategorie.gmd")).size(), 20 * 1024 * 1024);
}

void TestGlowny::countsBeyondTheirFilesAreTold_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("list");
    QTest::newRow("categories") << "kategorie.gmd"
                                << "liczba_kategorii=2147483647"
                                << "ListKategorie";
    QTest::newRow("subcategories") << "A_podkategorie.gmd"
                                   << "liczba_podkategorii=5"
                                   << "ListPodkategorie";
    QTest::newRow("items") << "A_B_dane.gmd"
                           << "liczba_pozycji=100002"
                           << "ListPrzedmioty";
}

// The list shows what the file holds, at once, and the error display says the count is wrong.
void TestGlowny::countsBeyondTheirFilesAreTold()
{
    QFETCH(QString, file);
    QFETCH(QString, count);
    QFETCH(QString, list);
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    m_dir.write("A_B_dane.gmd", crlf(itemFile({"Nazwa"}, {{"x"}})));
    QByteArray damaged = m_dir.read(file);
    damaged.replace(damaged.lastIndexOf("liczba_"), damaged.size(), count.toLatin1() + "\r\n");
    m_dir.write(file, damaged);
    for (int activation = 0; activation < 2; ++activation) // told once, not at every activation
        runCommand([] { frmGlowny->FormActivate(); });
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Gromadnik"));
    QVERIFY2(m_dialogs.shown[0].text.contains(m_dir.file(file)) && m_dialogs.shown[0].text.contains("zawiera tylko 1"),
             qPrintable(m_dialogs.shown[0].text));
    QCOMPARE(rowCount(frmGlowny->findChild<QTreeView *>(list)), 1);
}

void TestGlowny::activationRefreshKeepsTheChoiceShown()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    m_dir.write("A_B_dane.gmd", crlf(itemFile({"Nazwa"}, {{"x"}, {"y"}})));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");

    // Another window opened from the main window closes: the main window is active again.
    whenShown(frmInfo, [] { frmInfo->btnZamknij->click(); });
    action("Oprogramie1")->trigger();
    QCOMPARE(entries(frmGlowny->ListKategorie), QStringList{"A"});
    QVERIFY(frmGlowny->ListKategorie->selectedItems().isEmpty());
    QCOMPARE(entries(frmGlowny->ListPodkategorie), QStringList{"B"});
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 2);
    QCOMPARE(frmGlowny->panelText(0), QStringLiteral("A"));
    QCOMPARE(frmGlowny->panelText(1), QStringLiteral("B"));
}

void TestGlowny::leftListsShareTheColumn()
{
    QWidget *column = frmGlowny->ListKategorie->parentWidget();
    column->resize(184, 441);
    QCoreApplication::processEvents();
    QCOMPARE(frmGlowny->ListKategorie->height(), 220);
    QCOMPARE(frmGlowny->ListPodkategorie->height(), 220);
    QVERIFY(frmGlowny->ListPodkategorie->y() >= frmGlowny->ListKategorie->height());
}

void TestGlowny::viewCommandNeedsARow()
{
    showThreeItems(m_dir);
    frmGlowny->lblpozycja->setText("lblpozycja");
    frmGlowny->ListPrzedmiotyDblClick();
    QCOMPARE(frmGlowny->lblpozycja->text(), QStringLiteral("lblpozycja"));
    selectRow(frmGlowny->ListPrzedmioty, 2);
    QString shownItem;
    whenShown(frmPokaz, [&] {
        shownItem = frmGlowny->lblpozycja->text();
        frmPokaz->close();
    });
    action("Pokapozycje1")->trigger();
    QCOMPARE(shownItem, QStringLiteral("2"));
}

// A new catalogue built through the pop-up commands ends as the files the write rules give.
void TestGlowny::buildsACatalogueThroughThePopUps()
{
    whenShown(frmDodaj_kategorie, [] {
        for (const char *name : {"Monety", "Odznaczenia"}) {
            frmDodaj_kategorie->txtNazwa->setText(QString::fromUtf8(name));
            QTest::mouseClick(frmDodaj_kategorie->btnDodaj, Qt::LeftButton);
            QVERIFY(frmDodaj_kategorie->txtNazwa->text().isEmpty());
        }
        QTest::mouseClick(frmDodaj_kategorie->btnZamknij, Qt::LeftButton);
    });
    action("Dodajnowkategorie1")->trigger();
    QCOMPARE(entries(frmGlowny->ListKategorie), QStringList({"Monety", "Odznaczenia"}));
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown[1].caption, QStringLiteral("Informacja"));
    QCOMPARE(m_dialogs.shown[1].text, QStringLiteral("Kategoria została dodana"));

    choose(frmGlowny->ListKategorie, "Monety");
    whenShown(frmDodaj_podkategorie, [] {
        for (const char *name : {"Polska", "Niemcy", "Polska"}) {
            frmDodaj_podkategorie->txtNazwa->setText(QString::fromUtf8(name));
            QTest::mouseClick(frmDodaj_podkategorie->btnDodaj, Qt::LeftButton);
        }
        QTest::mouseClick(frmDodaj_podkategorie->btnZamknij, Qt::LeftButton);
    });
    action("Dodajnowpodkategorie1")->trigger();
    // No notice for an added subcategory; the second "Polska" would share the first one's files.
    QCOMPARE(entries(frmGlowny->ListPodkategorie), QStringList({"Polska", "Niemcy"}));
    QCOMPARE(m_dialogs.shown.size(), 3);
    QCOMPARE(m_dialogs.shown[2].text,
             QStringLiteral("Nazwa \"Polska\" jest już na liście.\nPodkategoria nie została dodana."));

    choose(frmGlowny->ListPodkategorie, "Niemcy");
    whenShown(frmPozycje, [] {
        frmPozycje->Edits[0]->setText("Nominał");
        frmPozycje->Edits[1]->setText("Rok");
        frmPozycje->Edits[2]->setText("Stan");
        QTest::mouseClick(frmPozycje->btnZapisz, Qt::LeftButton);
        QTest::mouseClick(frmPozycje->btnZamknij, Qt::LeftButton);
    });
    action("Przedmioty1")->trigger();
    QCOMPARE(headers(frmGlowny->ListPrzedmioty), QStringList({"Nominał", "Rok", "Stan"}));
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 0"));
    QVERIFY(frmGlowny->Dodajnowpozycje1->isEnabled());

    QCOMPARE(m_dir.read("kategorie.gmd"),
             crlf({"[kategorie]", "0=Monety", "1=Odznaczenia", "[config]", "liczba_kategorii=2"}));
    QCOMPARE(m_dir.read("Monety_podkategorie.gmd"),
             crlf({"[podkategorie]", "0=Polska", "1=Niemcy", "[config]", "liczba_podkategorii=2"}));
    QCOMPARE(m_dir.read("Monety_Niemcy_dane.gmd"),
             crlfCp1250({"[pozycje]", "1=Nominał", "2=Rok", "3=Stan", "4=", "5=", "6=", "7=", "8=", "9=", "10="}));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).size(), 3);
}

void TestGlowny::refusesNamesThatCannotBeFileNames()
{
    whenShown(frmDodaj_kategorie, [] {
        for (const char *name : {"Monety/Polska", "..", " Monety", "Kolekcja 日本"}) {
            frmDodaj_kategorie->txtNazwa->setText(QString::fromUtf8(name));
            QTest::mouseClick(frmDodaj_kategorie->btnDodaj, Qt::LeftButton);
            QCOMPARE(frmDodaj_kategorie->txtNazwa->text(), QString::fromUtf8(name));
        }
        frmDodaj_kategorie->txtNazwa->clear();
        QTest::mouseClick(frmDodaj_kategorie->btnDodaj, Qt::LeftButton);
        QTest::mouseClick(frmDodaj_kategorie->btnZamknij, Qt::LeftButton);
    });
    action("Dodajnowkategorie1")->trigger();
    QCOMPARE(m_dialogs.shown.size(), 5);
    QVERIFY(m_dialogs.shown[0].text.contains("\"/\""));
    QVERIFY(m_dialogs.shown[3].text.contains("Windows-1250"));
    QCOMPARE(m_dialogs.shown[4].text, QStringLiteral("Najpierw podaj nazwę kategorii."));
    for (const auto &shown : m_dialogs.shown)
        QCOMPARE(shown.caption, QStringLiteral("Informacja"));
    QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
}

void TestGlowny::refusesASubcategoryWithoutACategory()
{
    const auto attempt = [this] {
        whenShown(frmDodaj_podkategorie, [] {
            frmDodaj_podkategorie->txtNazwa->setText("Polska");
            QTest::mouseClick(frmDodaj_podkategorie->btnDodaj, Qt::LeftButton);
            QTest::mouseClick(frmDodaj_podkategorie->btnZamknij, Qt::LeftButton);
        });
        action("Dodajnowpodkategorie1")->trigger();
        QCOMPARE(m_dialogs.shown.size(), 1);
        QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Najpierw wybierz kategorię w oknie głównym."));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"kategorie.gmd"});
        m_dialogs.shown.clear();
    };
    // Panel 0 still holds its starting text "Kategoria".
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    frmGlowny->FormActivate();
    QCOMPARE(frmGlowny->panelText(0), QStringLiteral("Kategoria"));
    attempt();
    // The chosen category was unselected: panel 0 is empty.
    choose(frmGlowny->ListKategorie, "A");
    frmGlowny->ListKategorie->clearSelection();
    QCOMPARE(frmGlowny->panelText(0), QString());
    attempt();
}

void TestGlowny::pathSavedInTheDataDirectoryWindowIsListed_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("told");
    QTest::newRow("first start") << QVariant(QString()) << "";
    QTest::newRow("value that is no text") << QVariant(QSize(1, 2)) << "Invalid data type for 'path'";
}

// The main window is shown with a stored path it cannot use; the user saves this test's folder in
// the data-directory window and answers Cancel.
void TestGlowny::pathSavedInTheDataDirectoryWindowIsListed()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, told);
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Gromadnik").setValue("path", stored);
    if (!told.isEmpty())
        m_dialogs.answerNext(QMessageBox::Ok);
    m_dialogs.answerNext(QMessageBox::Cancel);
    int showings = 0;
    const auto counter = connect(frmConfig_files, &QDialog::finished, [&] { ++showings; });
    whenShown(frmConfig_files, [this] {
        frmConfig_files->Edit1->setText(m_dir.path());
        frmConfig_files->btnZapisz->click();
    });
    runCommand([] { frmGlowny->FormShow(); });
    for (int i = 0; i < 5; ++i) // the activations that follow, each may reopen a window
        QTest::qWait(20);
    disconnect(counter);
    DataDirectory::setPath(m_dir.path());

    QCOMPARE(entries(frmGlowny->ListKategorie), QStringList{"A"});
    QCOMPARE(showings, 1);
    QStringList texts;
    for (const auto &shown : std::as_const(m_dialogs.shown))
        texts.append(shown.text);
    QCOMPARE(texts.filter("Invalid data type").size(), told.isEmpty() ? 0 : 1);
}

void TestGlowny::choiceMadeBeforeTheActivationRefreshStays_data()
{
    QTest::addColumn<bool>("chosenWhileInactive");
    QTest::newRow("refresh asked, then chosen") << false;
    // A desktop without a window manager activates the window only after the click has chosen.
    QTest::newRow("chosen in the inactive window, then activated") << true;
}

// The activation refresh is asked for, as when the window is activated, and before it runs the user
// chooses a category; or the choosing click is what activates the window.
void TestGlowny::choiceMadeBeforeTheActivationRefreshStays()
{
    QFETCH(bool, chosenWhileInactive);
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "1=B", "[config]", "liczba_kategorii=2"}));
    m_dir.write("B_podkategorie.gmd", crlf({"[podkategorie]", "0=S", "[config]", "liczba_podkategorii=1"}));
    frmGlowny->FormActivate();
    frmGlowny->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmGlowny));
    QCoreApplication::processEvents();
    if (chosenWhileInactive) {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        choose(frmGlowny->ListKategorie, "B");
        other.close();
        frmGlowny->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmGlowny));
    } else {
        QEvent activation(QEvent::ActivationChange);
        QCoreApplication::sendEvent(frmGlowny, &activation);
        choose(frmGlowny->ListKategorie, "B");
    }
    QCoreApplication::processEvents();
    QCOMPARE(entries(frmGlowny->ListKategorie), (QStringList{"A", "B"}));
    QCOMPARE(selectedText(frmGlowny->ListKategorie), QStringLiteral("B"));
    QCOMPARE(frmGlowny->panelText(0), QStringLiteral("B"));
    QCOMPARE(entries(frmGlowny->ListPodkategorie), QStringList{"S"});
}

void TestGlowny::chooseSortedAndFiltered()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "[config]", "liczba_kategorii=1"}));
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "[config]", "liczba_podkategorii=1"}));
    m_dir.write("A_B_dane.gmd", crlfCp1250(itemFile({"Nazwa", "Rok"}, {{"Łódź", "1934"},
                                                                       {"Kraków", "1990"},
                                                                       {"Lublin", "10"},
                                                                       {"Łomża", "2"},
                                                                       {"Gdańsk", "1934"}})));
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "A");
    choose(frmGlowny->ListPodkategorie, "B");
    QHeaderView *header = frmGlowny->ListPrzedmioty->header();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(frmGlowny->itemList()->sortOrder(), click == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    QTest::keyClicks(frmGlowny->txtSzukaj, "l");
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 1), QStringList({"Łomża", "2"}));
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 3);
}

QStringList TestGlowny::itemValues(int item) const
{
    const ProfileFile file(m_dir.file("A_B_dane.gmd"));
    return {file.ReadText(QString::number(item), "pozycja1", "-"), file.ReadText(QString::number(item), "pozycja2", "-")};
}

void TestGlowny::itemCommandsGetTheItemNumberShown_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("gallery");
    for (const char *command : {"view", "Enter", "double click", "edit", "delete", "Delete"}) {
        QTest::addRow("%s", command) << command << false;
        QTest::addRow("%s on a tile", command) << command << true;
    }
}

// The second row shown is item 3; every command must get that number, not the row's.
void TestGlowny::itemCommandsGetTheItemNumberShown()
{
    QFETCH(QString, command);
    QFETCH(bool, gallery);
    chooseSortedAndFiltered();
    QTreeView *list = frmGlowny->ListPrzedmioty;
    action("Galeria1")->setChecked(gallery);
    const auto galleryOff = qScopeGuard([] { action("Galeria1")->setChecked(false); });
    QAbstractItemView *view = gallery ? static_cast<QAbstractItemView *>(frmGlowny->GaleriaPrzedmiotow) : list;
    QVERIFY(view->isVisible());
    selectRow(list, 1);
    QCOMPARE(frmGlowny->selectedItemNumber(), 3);
    QCOMPARE(view->currentIndex().row(), 1);
    QString viewed;
    whenShown(frmPokaz, [&] {
        viewed = frmGlowny->lblpozycja->text();
        frmPokaz->close();
    });
    if (command == "view") {
        action("Pokapozycje1")->trigger();
    } else if (command == "Enter") {
        QTest::keyClick(view, Qt::Key_Return);
    } else if (command == "double click") {
        QTRY_VERIFY(!view->visualRect(view->currentIndex()).isEmpty()); // laid out once shown
        const QPoint at = view->visualRect(view->currentIndex()).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); // the press a double click starts with
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    } else if (command == "edit") {
        whenShown(frmEdytuj_pozycje, [] {
            QCOMPARE(frmEdytuj_pozycje->Edits[0]->text(), QStringLiteral("Łomża"));
            frmEdytuj_pozycje->Edits[0]->setText("Łomża nowa");
            frmEdytuj_pozycje->btnZapisz->click();
            frmEdytuj_pozycje->btnZamknij->click();
        });
        action("Edytujpozycje1")->trigger();
    } else {
        m_dialogs.answerNext(QMessageBox::Ok);
        if (command == "delete")
            action("Usuzaznaczonpozycje1")->trigger();
        else
            QTest::keyClick(view, Qt::Key_Delete);
    }
    if (command == "view" || command == "Enter" || command == "double click") {
        QCOMPARE(viewed, QStringLiteral("3"));
        return;
    }
    frmPokaz->hide();
    // The sort and the filter stay applied over the file as it is now.
    QCOMPARE(frmGlowny->txtSzukaj->text(), QStringLiteral("l"));
    QCOMPARE(list->header()->sortIndicatorSection(), 0);
    QCOMPARE(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    if (command == "edit") {
        QCOMPARE(itemValues(3), QStringList({"Łomża nowa", "2"}));
        QCOMPARE(itemValues(0), QStringList({"Łódź", "1934"}));
        QCOMPARE(frmGlowny->selectedItemNumber(), 3);
        QCOMPARE(row(list, 1), QStringList({"Łomża nowa", "2"}));
        return;
    }
    // The last item moved into the freed number.
    QCOMPARE(ProfileFile(m_dir.file("A_B_dane.gmd")).ReadNumber("config", "liczba_pozycji", 0), 4);
    QCOMPARE(itemValues(3), QStringList({"Gdańsk", "1934"}));
    QCOMPARE(itemValues(4), QStringList({"-", "-"}));
    QCOMPARE(itemValues(0), QStringList({"Łódź", "1934"}));
    QCOMPARE(rowCount(list), 2);
    QCOMPARE(row(list, 0), QStringList({"Łódź", "1934"}));
    QCOMPARE(row(list, 1), QStringList({"Lublin", "10"}));
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 2 z 4"));
}

void TestGlowny::filterBoxTellsWhatItShows()
{
    chooseSortedAndFiltered();
    QLineEdit *box = frmGlowny->txtSzukaj;
    QCOMPARE(box->placeholderText(), QStringLiteral("Szukaj w podkategorii…"));
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 3 z 5"));
    QTest::keyClicks(box, "odz");
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 1 z 5"));
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->text(), QString());
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 5"));
    QCOMPARE(rowCount(frmGlowny->ListPrzedmioty), 5);

    // An item the filter hides is shown when asked for by its number, with the filter cleared.
    QTest::keyClicks(box, "lublin");
    QVERIFY(frmGlowny->selectItemNumber(2));
    QCOMPARE(box->text(), QStringLiteral("lublin"));
    QVERIFY(frmGlowny->selectItemNumber(4));
    QCOMPARE(box->text(), QString());
    QCOMPARE(frmGlowny->selectedItemNumber(), 4);
    QVERIFY(!frmGlowny->selectItemNumber(5));

    // Another subcategory starts unfiltered; the sort by "Nazwa" stays, as that column is there.
    QTest::keyClicks(box, "k");
    choose(frmGlowny->ListPodkategorie, "B");
    frmGlowny->ListPodkategorieSelectItem();
    QCOMPARE(box->text(), QString());
    QCOMPARE(frmGlowny->panelText(2), QStringLiteral("Liczba pozycji: 5"));
    QCOMPARE(frmGlowny->itemList()->sortColumn(), 0);
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 4), QStringList({"Gdańsk", "1934"}));
}

void TestGlowny::cutCellShowsItsWholeText()
{
    chooseSortedAndFiltered();
    QTreeView *list = frmGlowny->ListPrzedmioty;
    const auto tipAt = [list](int column) {
        QToolTip::hideText();
        const QRect cell = list->visualRect(list->model()->index(0, column));
        QHelpEvent event(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(list->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(0), QString());
    QCOMPARE(tipAt(1), QString());
    list->setColumnWidth(0, 12);
    QCOMPARE(tipAt(0), QStringLiteral("Łódź"));
    ItemListView::fitColumns(list);
}

// Widths, order and sort the user gave one subcategory come back with it, never onto another.
void TestGlowny::columnsAreKeptForEachSubcategory()
{
    chooseSortedAndFiltered();
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=B", "1=C", "[config]", "liczba_podkategorii=2"}));
    m_dir.write("A_C_dane.gmd", crlfCp1250(itemFile({"Nazwa", "Rok"}, {{"Zamość", "1580"}, {"Gniezno", "966"}})));
    frmGlowny->ListKategorieSelectItem();
    choose(frmGlowny->ListPodkategorie, "B");
    QHeaderView *header = frmGlowny->ListPrzedmioty->header();
    header->resizeSection(0, 123);
    header->moveSection(1, 0);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
    QCOMPARE(frmGlowny->itemList()->sortColumn(), 1);

    choose(frmGlowny->ListPodkategorie, "C");
    QVERIFY(header->sectionSize(0) != 123);
    QCOMPARE(header->visualIndex(1), 1);
    choose(frmGlowny->ListPodkategorie, "B");
    QCOMPARE(header->sectionSize(0), 123);
    QCOMPARE(header->visualIndex(1), 0);
    QCOMPARE(frmGlowny->itemList()->sortColumn(), 1);
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 0), QStringList({"Łomża", "2"}));
    QCOMPARE(row(frmGlowny->ListPrzedmioty, 4), QStringList({"Kraków", "1990"}));

    // Kept under the column names: once they change, the columns are fitted anew.
    m_dir.write("A_B_dane.gmd", crlfCp1250(itemFile({"Miasto", "Rok"}, {{"Łódź", "1934"}})));
    choose(frmGlowny->ListPodkategorie, "C");
    choose(frmGlowny->ListPodkategorie, "B");
    QVERIFY(header->sectionSize(0) != 123);
    QCOMPARE(header->visualIndex(1), 1);
    header->moveSection(1, 0);
}

// The gallery is the list's other face: its rows in its order, its selection, a remembered choice,
// and a tile for every item whether its photo can be shown or not.
void TestGlowny::galleryShowsTheListAsTiles()
{
    chooseSortedAndFiltered();
    const ItemStore::Place place{m_dir.path(), "A", "B"};
    writeJpeg(m_dir.file("łomża.jpg"), quarters(64, 48));
    m_dir.write("uszkodzone.jpg", "to nie jest zdjęcie");
    ItemStore::setPhotos(place, 3, {m_dir.file("łomża.jpg"), m_dir.file("brak.jpg")});
    ItemStore::setPhotos(place, 0, {m_dir.file("uszkodzone.jpg")});
    frmGlowny->refreshAfterItemCommand();
    action("Galeria1")->trigger();
    auto *gallery = frmGlowny->GaleriaPrzedmiotow;
    const auto galleryOff = qScopeGuard([] { action("Galeria1")->setChecked(false); });
    QVERIFY(gallery->isVisible() && !frmGlowny->ListPrzedmioty->isVisible());
    QVERIFY(ViewState::gallery());
    QCOMPARE(gallery->model()->rowCount(), 3);
    QCOMPARE(gallery->model()->index(1, 0).data().toString(), QStringLiteral("Łomża"));

    // Every tile is painted without a word to the user; the thumbnails come when they are made.
    const QString photo = m_dir.file("łomża.jpg");
    QCOMPARE(gallery->photoOf(gallery->model()->index(1, 0)), photo);
    QTRY_VERIFY(!gallery->thumbnails()->thumbnail(photo).isNull());
    gallery->grab();
    QTRY_VERIFY(gallery->thumbnails()->failed(m_dir.file("uszkodzone.jpg")));
    QVERIFY(m_dialogs.shown.isEmpty());
    const auto tipAt = [gallery](int row) {
        QToolTip::hideText();
        const QRect tile = gallery->visualRect(gallery->model()->index(row, 0));
        QHelpEvent event(QEvent::ToolTip, tile.center(), gallery->viewport()->mapToGlobal(tile.center()));
        QCoreApplication::sendEvent(gallery->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(1), QStringLiteral("Łomża"));
    QCOMPARE(tipAt(2), QStringLiteral("Lublin\nBrak zdjęcia"));
    QTRY_COMPARE(tipAt(0), QStringLiteral("Łódź\nNie można pokazać zdjęcia: ") + m_dir.file("uszkodzone.jpg"));

    // One selection for both faces.
    gallery->setCurrentIndex(gallery->model()->index(2, 0));
    QCOMPARE(frmGlowny->selectedItemNumber(), 2);
    action("Galeria1")->trigger();
    QVERIFY(frmGlowny->ListPrzedmioty->isVisible());
    QCOMPARE(frmGlowny->ListPrzedmioty->currentIndex().row(), 2);
    QVERIFY(!ViewState::gallery());
}

// Every menu opens the trash; it lists the newest delete first, gives an item back into the list the
// main window shows, and is emptied only after the question.
void TestGlowny::trashGivesBackAndEmptiesAfterAQuestion()
{
    showThreeItems(m_dir);
    QStringList deleted; // whatever order the list is sorted in
    for (int twice = 0; twice < 2; ++twice) {
        selectRow(frmGlowny->ListPrzedmioty, 0);
        deleted.prepend(frmGlowny->ListPrzedmioty->currentIndex().data().toString());
        action("Usuzaznaczonpozycje1")->trigger(); // the question answers OK
    }
    const auto rowsOf = [](QTreeWidget *list) {
        QStringList rows;
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            rows << list->topLevelItem(r)->text(0) + ' ' + list->topLevelItem(r)->text(1) + ' ' +
                        list->topLevelItem(r)->text(2);
        return rows;
    };
    for (const char *entry : {"Kosz1", "Kosz2", "Kosz3", "Kosz4"}) {
        QStringList shown;
        whenShown(frmKosz, [&] {
            shown = rowsOf(frmKosz->ListKosz);
            frmKosz->close();
        });
        action(entry)->trigger();
        QCOMPARE(shown, (QStringList{"Pozycja " + deleted[0] + " A / B", "Pozycja " + deleted[1] + " A / B"}));
    }
    QCOMPARE(frmKosz->ListKosz->accessibleName(), QStringLiteral("Kosz"));
    int answered = 0;
    whenShown(frmKosz, [&] {
        frmKosz->ListKosz->setCurrentItem(frmKosz->ListKosz->topLevelItem(0));
        QTest::mouseClick(frmKosz->btnPrzywroc, Qt::LeftButton);
        m_dialogs.answerNext(QMessageBox::Cancel);
        QTest::mouseClick(frmKosz->btnOproznij, Qt::LeftButton);
        answered += frmKosz->ListKosz->topLevelItemCount() == 1;
        m_dialogs.answerNext(QMessageBox::Ok);
        QTest::mouseClick(frmKosz->btnOproznij, Qt::LeftButton);
        answered += frmKosz->ListKosz->topLevelItemCount() == 0 && !frmKosz->btnOproznij->isEnabled();
        frmKosz->close();
    });
    action("Kosz1")->trigger();
    QCOMPARE(answered, 2);
    QCOMPARE(m_dialogs.shown.size(), 4); // two deletes, two questions before emptying
    QVERIFY(m_dialogs.shown.last().text.startsWith("Czy chcesz opróżnić kosz ?"));
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->rowCount(), 2);
    QCOMPARE(ProfileFile(m_dir.file("A_B_dane.gmd")).ReadText("1", "pozycja1", {}), deleted[0]); // the newest, last
    QVERIFY(Trash::entries(m_dir.path()).isEmpty());
}

QTEST_MAIN(TestGlowny)
#include "tst_glowny.moc"
