#include "app/Glowny.h"
#include "categories/CategoryStore.h"
#include "categories/Dodaj_kategorie.h"
#include "categories/Dodaj_podkategorie.h"
#include "categories/Edytuj_kategorie.h"
#include "categories/Frmedytor_kategorii.h"
#include "items/ItemStore.h"
#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

// Enabled states: ListBox1, btnEdytuj, btnUsun, up, down | ListBox2, add sub | edit sub, delete sub, up, down.
QString states()
{
    const auto on = [](const QWidget *w) { return w->isEnabled() ? QLatin1Char('1') : QLatin1Char('0'); };
    TfrmKategorie *e = frmKategorie;
    return QString() + on(e->ListBox1) + on(e->btnEdytuj) + on(e->btnUsun) + on(e->btnKategoria_dogory) +
           on(e->btnKategoria_wdol) + QLatin1Char(' ') + on(e->ListBox2) + on(e->btnDodaj_podkategorie) +
           QLatin1Char(' ') + on(e->btnEdytuj_podkategorie) + on(e->btnUsun_podkategorie) +
           on(e->btnPodkategoria_dogory) + on(e->btnPodkategoria_wdol);
}

void choose(QListWidget *list, const QString &text)
{
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
}

} // namespace

class TestCategories : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void enableStatesThroughASession();
    void deletesTheMiddleOfThreeWithItsFiles();
    void deleteKeepsFilesAnotherEntryOwns_data();
    void deleteKeepsFilesAnotherEntryOwns();
    void movesAreWrittenAtOnce();
    void closingDropsTheChoiceKeys();
    void renamingACategoryCarriesEveryFile();
    void renamingASubcategoryCarriesItsFiles();
    void sameNameChangesNothing();
    void clashingNamesAreRefused();
    void staleChoicesAreRefused();
    void aFailedMovePutsBackWhatWasMoved();
    void subcategoryFromTheEditorGoesToTheMainWindowsCategory();
    void addRefusesNamesThatCannotJoin_data();
    void addRefusesNamesThatCannotJoin();
    void renameActsOnTheEntryItShowed_data();
    void renameActsOnTheEntryItShowed();
    void nameWindowsTakeInputBesideTheModalEditor_data();
    void nameWindowsTakeInputBesideTheModalEditor();
    void choiceMadeBeforeTheActivationRefreshStays();

private:
    void catalogue();
    void openEditor();
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
};

void TestCategories::initTestCase()
{
    makeWindows(m_dir.path());
}

void TestCategories::init()
{
    m_dialogs.shown.clear();
    for (const QString &name : files())
        QFile::remove(m_dir.file(name));
}

void TestCategories::cleanup()
{
    for (QWidget *window : std::initializer_list<QWidget *>{frmEdytuj_kategorie, frmEdytuj_podkategorie,
                                                            frmDodaj_podkategorie, frmKategorie})
        window->hide();
}

// Categories A, B, C; B has subcategories S and T, each with one item and a photo list.
void TestCategories::catalogue()
{
    m_dir.write("kategorie.gmd", crlf({"[kategorie]", "0=A", "1=B", "2=C", "[config]", "liczba_kategorii=3"}));
    m_dir.write("B_podkategorie.gmd", crlf({"[podkategorie]", "0=S", "1=T", "[config]", "liczba_podkategorii=2"}));
    for (const char *sub : {"S", "T"}) {
        const ItemStore::Place place{m_dir.path(), "B", QString::fromLatin1(sub)};
        ItemValues values;
        values.fields[0] = QStringLiteral("przedmiot ") + QString::fromLatin1(sub);
        ItemStore::add(place, values);
        ItemStore::addPhoto(place, 0, "/zdjecia/x.jpg");
    }
    m_dir.write("A_podkategorie.gmd", crlf({"[podkategorie]", "0=S", "[config]", "liczba_podkategorii=1"}));
    m_dir.write("A_S_dane.gmd", crlf({"[pozycje]", "1=Nazwa"}));
}

void TestCategories::openEditor()
{
    frmKategorie->show();
    QCoreApplication::processEvents();
}

void TestCategories::enableStatesThroughASession()
{
    openEditor();
    QCOMPARE(states(), QStringLiteral("00000 00 0000"));
    frmKategorie->hide();
    catalogue();
    openEditor();
    QCOMPARE(frmKategorie->windowTitle(), QStringLiteral("Gromadnik - Edytor kategorii i podkategorii"));
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "B", "C"}));
    QCOMPARE(states(), QStringLiteral("11111 00 0000"));
    choose(frmKategorie->ListBox1, "C");
    QCOMPARE(states(), QStringLiteral("11111 01 0000"));
    choose(frmKategorie->ListBox1, "B");
    QCOMPARE(rows(frmKategorie->ListBox2), QStringList({"S", "T"}));
    QCOMPARE(states(), QStringLiteral("11111 11 0000"));
    choose(frmKategorie->ListBox2, "T");
    QCOMPARE(states(), QStringLiteral("11111 11 1111"));
    const ProfileFile categories(CatalogueFiles::categoryList(m_dir.path()));
    QCOMPARE(categories.ReadText("config", "aktywna", ""), QStringLiteral("B"));
    QCOMPARE(categories.ReadNumber("config", "aktywna_id", -1), 1);
    const ProfileFile subcategories(CatalogueFiles::subcategoryList(m_dir.path(), "B"));
    QCOMPARE(subcategories.ReadText("config", "aktywna", ""), QStringLiteral("T"));
    QCOMPARE(subcategories.ReadNumber("config", "aktywna_id", -1), 1);
}

void TestCategories::deletesTheMiddleOfThreeWithItsFiles()
{
    catalogue();
    openEditor();
    frmKategorie->btnUsun->click(); // no row chosen: asked, nothing changes
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Czy chcesz usunąć wybraną kategorie ?"));
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "B", "C"}));

    choose(frmKategorie->ListBox1, "B");
    m_dialogs.answerNext(QMessageBox::Cancel);
    frmKategorie->btnUsun->click();
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "B", "C"}));
    m_dialogs.answerNext(QMessageBox::Ok);
    frmKategorie->btnUsun->click();
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "C"}));
    QCOMPARE(KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(m_dir.path()))),
             QStringList({"A", "C"}));
    QCOMPARE(files(), QStringList({"A_S_dane.gmd", "A_podkategorie.gmd", "kategorie.gmd"}));
    QVERIFY(frmKategorie->ListBox2->count() == 0 && !frmKategorie->btnDodaj_podkategorie->isEnabled());

    // A subcategory goes with its item file and photo lists.
    choose(frmKategorie->ListBox1, "A");
    choose(frmKategorie->ListBox2, "S");
    m_dialogs.answerNext(QMessageBox::Ok);
    frmKategorie->btnUsun_podkategorie->click();
    QCOMPARE(files(), QStringList({"A_podkategorie.gmd", "kategorie.gmd"}));
    QCOMPARE(KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "A"))),
             QStringList());
}

void TestCategories::deleteKeepsFilesAnotherEntryOwns_data()
{
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QString>("deleted"); // "category" or "category/subcategory"
    QTest::addColumn<QStringList>("kept");
    const QStringList clash{"X", "X_Y"};
    QTest::newRow("category whose pair is another's") << clash << "X" << QStringList{"X_Y_Z_dane.gmd", "X_Y_Z_0.gmd"};
    QTest::newRow("the other category") << clash << "X_Y" << QStringList{"X_Y_Z_dane.gmd", "X_Y_Z_0.gmd"};
    QTest::newRow("subcategory whose pair is another's")
        << clash << "X/Y_Z" << QStringList{"X_Y_Z_dane.gmd", "X_Y_Z_0.gmd"};
    QTest::newRow("one of two rows of one name")
        << QStringList{"X", "X"} << "X" << QStringList{"X_podkategorie.gmd", "X_Y_Z_dane.gmd", "X_Y_Z_0.gmd"};
}

// A catalogue written before such names were refused keeps the other entry's items whole.
void TestCategories::deleteKeepsFilesAnotherEntryOwns()
{
    QFETCH(QStringList, categories);
    QFETCH(QString, deleted);
    QFETCH(QStringList, kept);
    const QString dir = m_dir.path();
    CategoryStore::writeCategories(dir, categories);
    CategoryStore::writeSubcategories(dir, "X", {"Y_Z"});
    CategoryStore::writeSubcategories(dir, "X_Y", {"Z"});
    ItemStore::add({dir, "X_Y", "Z"}, ItemValues());
    ItemStore::addPhoto({dir, "X_Y", "Z"}, 0, "/zdjecia/a.jpg");
    const QStringList parts = deleted.split('/');
    QStringList remaining = categories;
    remaining.removeOne(parts[0]);
    if (parts.size() == 1)
        CategoryStore::deleteCategory(dir, remaining, parts[0]);
    else
        CategoryStore::deleteSubcategory(dir, parts[0], {}, parts[1]);
    for (const QString &file : kept)
        QVERIFY2(files().contains(file), qPrintable(file));
}

void TestCategories::movesAreWrittenAtOnce()
{
    catalogue();
    openEditor();
    choose(frmKategorie->ListBox1, "C");
    frmKategorie->btnKategoria_dogory->click();
    frmKategorie->btnKategoria_dogory->click();
    frmKategorie->btnKategoria_dogory->click(); // at the top: nothing more
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"C", "A", "B"}));
    const ProfileFile categories(CatalogueFiles::categoryList(m_dir.path()));
    QCOMPARE(KeyedList::categories.read(categories), QStringList({"C", "A", "B"}));
    QCOMPARE(categories.ReadNumber("config", "aktywna_id", -1), 0);

    choose(frmKategorie->ListBox1, "B");
    choose(frmKategorie->ListBox2, "S");
    frmKategorie->btnPodkategoria_wdol->click();
    frmKategorie->btnPodkategoria_wdol->click();
    QCOMPARE(rows(frmKategorie->ListBox2), QStringList({"T", "S"}));
    QCOMPARE(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "B")).ReadNumber("config", "aktywna_id", -1), 1);

    frmKategorie->close();
    openEditor();
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"C", "A", "B"}));
    choose(frmKategorie->ListBox1, "B");
    QCOMPARE(rows(frmKategorie->ListBox2), QStringList({"T", "S"}));
}

void TestCategories::closingDropsTheChoiceKeys()
{
    catalogue();
    openEditor();
    choose(frmKategorie->ListBox1, "B");
    choose(frmKategorie->ListBox2, "S");
    frmKategorie->btnZamknij->click();
    QVERIFY(!frmKategorie->isVisible());
    QCOMPARE(m_dir.read("kategorie.gmd"), crlf({"[kategorie]", "0=A", "1=B", "2=C", "[config]", "liczba_kategorii=3"}));

    // Esc leaves the window the same way.
    openEditor();
    choose(frmKategorie->ListBox1, "C");
    QTest::keyClick(frmKategorie->ListBox1, Qt::Key_Escape);
    QVERIFY(!frmKategorie->isVisible());
    QCOMPARE(m_dir.read("kategorie.gmd"), crlf({"[kategorie]", "0=A", "1=B", "2=C", "[config]", "liczba_kategorii=3"}));
    QCOMPARE(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "B")).ReadText("config", "aktywna", ""),
             QStringLiteral("S"));
}

void TestCategories::renamingACategoryCarriesEveryFile()
{
    catalogue();
    const QByteArray itemS = m_dir.read("B_S_dane.gmd");
    const QByteArray photosT = m_dir.read("B_T_0.gmd");
    openEditor();
    choose(frmKategorie->ListBox1, "B");
    frmKategorie->btnEdytuj->click();
    QVERIFY(frmEdytuj_kategorie->isVisible());
    QCOMPARE(frmEdytuj_kategorie->txtNazwa->text(), QStringLiteral("B"));
    frmEdytuj_kategorie->txtNazwa->setText("Banknoty");
    frmEdytuj_kategorie->btnEdytuj->click();
    QVERIFY(!frmEdytuj_kategorie->isVisible());
    QCOMPARE(files(),
             QStringList({"A_S_dane.gmd", "A_podkategorie.gmd", "Banknoty_S_0.gmd", "Banknoty_S_dane.gmd",
                          "Banknoty_T_0.gmd", "Banknoty_T_dane.gmd", "Banknoty_podkategorie.gmd", "kategorie.gmd"}));
    QCOMPARE(m_dir.read("Banknoty_S_dane.gmd"), itemS);
    QCOMPARE(m_dir.read("Banknoty_T_0.gmd"), photosT);
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "Banknoty", "C"}));
    QCOMPARE(ProfileFile(CatalogueFiles::categoryList(m_dir.path())).ReadText("config", "aktywna", ""),
             QStringLiteral("Banknoty"));

    // A second rename of the same entry works; only the letter case may change too.
    choose(frmKategorie->ListBox1, "Banknoty");
    frmKategorie->btnEdytuj->click();
    frmEdytuj_kategorie->txtNazwa->setText("BANKNOTY");
    frmEdytuj_kategorie->btnEdytuj->click();
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "BANKNOTY", "C"}));
    QVERIFY(QFile::exists(m_dir.file("BANKNOTY_T_0.gmd")));
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestCategories::renamingASubcategoryCarriesItsFiles()
{
    catalogue();
    openEditor();
    choose(frmKategorie->ListBox1, "B");
    choose(frmKategorie->ListBox2, "T");
    frmKategorie->btnEdytuj_podkategorie->click();
    QCOMPARE(frmEdytuj_podkategorie->txtNazwa->text(), QStringLiteral("T"));
    frmEdytuj_podkategorie->txtNazwa->setText("Tłoki");
    frmEdytuj_podkategorie->btnEdytuj->click();
    QCOMPARE(KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "B"))),
             QStringList({"S", "Tłoki"}));
    QVERIFY(QFile::exists(m_dir.file("B_Tłoki_dane.gmd")) && QFile::exists(m_dir.file("B_Tłoki_0.gmd")));
    QVERIFY(!QFile::exists(m_dir.file("B_T_dane.gmd")) && !QFile::exists(m_dir.file("B_T_0.gmd")));
    QCOMPARE(ItemStore::read({m_dir.path(), "B", "Tłoki"}, 0).fields[0], QStringLiteral("przedmiot T"));
}

void TestCategories::sameNameChangesNothing()
{
    catalogue();
    const QStringList before = files();
    const QByteArray list = m_dir.read("kategorie.gmd");
    openEditor();
    choose(frmKategorie->ListBox1, "B");
    frmKategorie->btnEdytuj->click();
    frmEdytuj_kategorie->btnEdytuj->click(); // the old name, unedited
    QCOMPARE(files(), before);
    QCOMPARE(ItemStore::read({m_dir.path(), "B", "S"}, 0).fields[0], QStringLiteral("przedmiot S"));
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestCategories::clashingNamesAreRefused()
{
    catalogue();
    m_dir.write("X_S_dane.gmd", crlf({"[pozycje]", "1=obca"})); // left by an earlier category X
    const QStringList before = files();
    openEditor();
    choose(frmKategorie->ListBox1, "B");
    for (const char *name : {"a", "C", "X", "B/C", ""}) {
        frmKategorie->btnEdytuj->click();
        frmEdytuj_kategorie->txtNazwa->setText(QString::fromLatin1(name));
        frmEdytuj_kategorie->btnEdytuj->click();
        QVERIFY(frmEdytuj_kategorie->isVisible());
    }
    QCOMPARE(m_dialogs.shown.size(), 5);
    QVERIFY(m_dialogs.shown[0].text.contains("\"A\""));
    QVERIFY(m_dialogs.shown[2].text.contains("X_S_dane.gmd"));
    QCOMPARE(files(), before);
    QCOMPARE(rows(frmKategorie->ListBox1), QStringList({"A", "B", "C"}));
}

void TestCategories::staleChoicesAreRefused()
{
    catalogue();
    openEditor();
    choose(frmKategorie->ListBox1, "B");
    frmKategorie->btnEdytuj->click();
    frmKategorie->close(); // the editor drops its choice keys
    frmEdytuj_kategorie->txtNazwa->setText("Nowa");
    frmEdytuj_kategorie->btnEdytuj->click();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.contains("wybierz"));
    QCOMPARE(KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(m_dir.path()))),
             QStringList({"A", "B", "C"}));
    QVERIFY(QFile::exists(m_dir.file("B_S_dane.gmd")));
}

void TestCategories::aFailedMovePutsBackWhatWasMoved()
{
    catalogue();
    m_dir.write("N_T_0.gmd", "obcy"); // in the way of the last file to move
    const QStringList before = files();
    QVERIFY_THROWS_EXCEPTION(AppError, CategoryStore::renameCategory(m_dir.path(), 1, "B", "N"));
    QCOMPARE(files(), before);
    QCOMPARE(m_dir.read("N_T_0.gmd"), QByteArray("obcy"));
    QCOMPARE(KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(m_dir.path()))),
             QStringList({"A", "B", "C"}));
    QCOMPARE(ItemStore::photos({m_dir.path(), "B", "S"}, 0), QStringList{"/zdjecia/x.jpg"});
}

void TestCategories::subcategoryFromTheEditorGoesToTheMainWindowsCategory()
{
    catalogue();
    frmGlowny->FormActivate();
    frmGlowny->ListKategorie->setCurrentItem(frmGlowny->ListKategorie->topLevelItem(2)); // C
    openEditor();
    choose(frmKategorie->ListBox1, "A");
    frmKategorie->btnDodaj_podkategorie->click();
    QVERIFY(frmDodaj_podkategorie->isVisible());
    frmDodaj_podkategorie->txtNazwa->setText("Nowa");
    frmDodaj_podkategorie->btnDodaj->click();
    frmDodaj_podkategorie->btnZamknij->click();
    QCOMPARE(KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "C"))),
             QStringList{"Nowa"});
    QCOMPARE(KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "A"))),
             QStringList{"S"});
}

// Snapshot of every file of the folder: name and bytes.
static QMap<QString, QByteArray> snapshot(const TestDir &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        files.insert(name, dir.read(name));
    return files;
}

void TestCategories::addRefusesNamesThatCannotJoin_data()
{
    QTest::addColumn<QString>("category"); // chosen in the main window; empty: a category is added
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("fault");
    const QString longName(100, QChar(0x0105));
    QTest::newRow("category in other letter case") << ""
                                                   << "x_y"
                                                   << ""
                                                   << "jako \"X_Y\"";
    QTest::newRow("C1 control") << ""
                                << "Nowa\u0081"
                                << ""
                                << "sterujących";
    QTest::newRow("subcategory owning another pair's files") << "X_Y"
                                                             << "Z"
                                                             << ""
                                                             << "X_Y_Z_dane.gmd";
    QTest::newRow("subcategory in other letter case") << "X"
                                                      << "y_Z"
                                                      << ""
                                                      << "jako \"Y_Z\"";
    QTest::newRow("subcategory too long beside its category") << longName << longName << ""
                                                              << "za długie";
    QTest::newRow("category deleted meanwhile") << "Stara"
                                                << "S"
                                                << "deleted"
                                                << "nie ma już na liście";
    QTest::newRow("category renamed meanwhile") << "Stara"
                                                << "S"
                                                << "renamed"
                                                << "nie ma już na liście";
}

// Each refusal names the fault, says nothing was added, and leaves every file as it was.
void TestCategories::addRefusesNamesThatCannotJoin()
{
    QFETCH(QString, category);
    QFETCH(QString, name);
    QFETCH(QString, meanwhile);
    QFETCH(QString, fault);
    const QString longName(100, QChar(0x0105));
    CategoryStore::writeCategories(m_dir.path(), {"X", "X_Y", longName, "Stara"});
    CategoryStore::writeSubcategories(m_dir.path(), "X", {"Y_Z"});
    frmGlowny->FormActivate();
    AddNameForm *window = frmDodaj_kategorie;
    if (!category.isEmpty()) {
        window = frmDodaj_podkategorie;
        frmGlowny->ListKategorie->setCurrentItem(
            frmGlowny->ListKategorie->findItems(category, Qt::MatchExactly).value(0));
        QCOMPARE(frmGlowny->panelText(0), category);
    }
    if (meanwhile == "deleted")
        CategoryStore::writeCategories(m_dir.path(), {"X", "X_Y", longName});
    else if (meanwhile == "renamed")
        CategoryStore::renameCategory(m_dir.path(), 3, "Stara", "Nowa");
    const auto before = snapshot(m_dir);
    window->txtNazwa->setText(name);
    window->btnAction->click();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY2(m_dialogs.shown[0].text.contains(fault), qPrintable(m_dialogs.shown[0].text));
    QVERIFY(m_dialogs.shown[0].text.contains("nie została dodana"));
    QCOMPARE(snapshot(m_dir), before);
    QCOMPARE(window->txtNazwa->text(), name);
}

void TestCategories::renameActsOnTheEntryItShowed_data()
{
    QTest::addColumn<QString>("chosen"); // "B" or "B/S"; empty: nothing chosen in this run
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("categories"); // afterwards, with B's subcategories after ":"
    QTest::addColumn<QString>("fault");
    QTest::newRow("keys left by an earlier run") << ""
                                                 << ""
                                                 << "A,B,C:S,T"
                                                 << "Najpierw wybierz";
    QTest::newRow("another category chosen meanwhile") << "B"
                                                       << "choose C"
                                                       << "A,Nowa,C:S,T"
                                                       << "";
    QTest::newRow("category moved meanwhile") << "B"
                                              << "move up"
                                              << "B,A,C:S,T"
                                              << "przesunięta";
    QTest::newRow("category deleted meanwhile") << "B"
                                                << "delete"
                                                << "A,C:"
                                                << "usunięta";
    QTest::newRow("editor closed meanwhile") << "B"
                                             << "close"
                                             << "A,B,C:S,T"
                                             << "Najpierw wybierz";
    QTest::newRow("subcategory keys left by an earlier run") << ""
                                                             << "subcategory"
                                                             << "A,B,C:S,T"
                                                             << "Najpierw wybierz";
    QTest::newRow("another subcategory chosen meanwhile") << "B/S"
                                                          << "choose T"
                                                          << "A,B,C:Nowa,T"
                                                          << "";
    QTest::newRow("subcategory moved meanwhile") << "B/S"
                                                 << "move down"
                                                 << "A,B,C:T,S"
                                                 << "przesunięta";
    QTest::newRow("its category renamed meanwhile") << "B/S"
                                                    << "rename B"
                                                    << "A,Banknoty,C:S,T"
                                                    << "przemianowana";
}

// A rename window renames the entry it showed when it opened, or refuses and changes nothing.
void TestCategories::renameActsOnTheEntryItShowed()
{
    QFETCH(QString, chosen);
    QFETCH(QString, meanwhile);
    QFETCH(QString, categories);
    QFETCH(QString, fault);
    catalogue();
    const bool ofSubcategory = chosen.contains('/') || meanwhile == "subcategory";
    AddNameForm *window = ofSubcategory ? static_cast<AddNameForm *>(frmEdytuj_podkategorie) : frmEdytuj_kategorie;
    if (chosen.isEmpty()) { // an earlier run chose B and S, then ended without closing the editor
        ProfileFile(CatalogueFiles::categoryList(m_dir.path())).WriteText("config", "aktywna", "B");
        ProfileFile(CatalogueFiles::categoryList(m_dir.path())).WriteNumber("config", "aktywna_id", 1);
        ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "B")).WriteText("config", "aktywna", "S");
        ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), "B")).WriteNumber("config", "aktywna_id", 0);
    }
    openEditor();
    if (!chosen.isEmpty()) {
        choose(frmKategorie->ListBox1, chosen.section('/', 0, 0));
        if (ofSubcategory)
            choose(frmKategorie->ListBox2, chosen.section('/', 1));
    }
    window->show();
    QCOMPARE(window->txtNazwa->text(), chosen.section('/', -1));

    if (meanwhile.startsWith("choose "))
        choose(ofSubcategory ? frmKategorie->ListBox2 : frmKategorie->ListBox1, meanwhile.mid(7));
    else if (meanwhile == "move up")
        frmKategorie->btnKategoria_dogory->click();
    else if (meanwhile == "move down")
        frmKategorie->btnPodkategoria_wdol->click();
    else if (meanwhile == "delete") {
        m_dialogs.answerNext(QMessageBox::Ok);
        frmKategorie->btnUsun->click();
        m_dialogs.shown.clear();
    } else if (meanwhile == "close")
        frmKategorie->close();
    else if (meanwhile == "rename B")
        CategoryStore::renameCategory(m_dir.path(), 1, "B", "Banknoty");
    const auto before = snapshot(m_dir);
    window->txtNazwa->setText("Nowa");
    window->btnAction->click();

    const QStringList lists = categories.split(':');
    const QStringList names = KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(m_dir.path())));
    QCOMPARE(names.join(','), lists[0]);
    const QString owner = names.contains("B") ? "B" : names.contains("Banknoty") ? "Banknoty" : "Nowa";
    QCOMPARE(KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(m_dir.path(), owner))).join(','),
             lists[1]);
    if (fault.isEmpty()) {
        QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.shown.value(0).text));
        QVERIFY(!window->isVisible());
    } else {
        QCOMPARE(m_dialogs.shown.size(), 1);
        QVERIFY2(m_dialogs.shown[0].text.contains(fault), qPrintable(m_dialogs.shown[0].text));
        QVERIFY(m_dialogs.shown[0].text.contains("nie została zmieniona"));
        QCOMPARE(snapshot(m_dir), before);
    }
}

void TestCategories::nameWindowsTakeInputBesideTheModalEditor_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("fromTheMenuFirst");
    QTest::newRow("Dodaj kategorie") << "btnDodaj" << "" << "frmDodaj_kategorie" << false;
    QTest::newRow("Dodaj kategorie, the menu's first") << "btnDodaj" << "" << "frmDodaj_kategorie" << true;
    QTest::newRow("Dodaj podkategorie") << "btnDodaj_podkategorie" << "B" << "frmDodaj_podkategorie" << false;
    QTest::newRow("Dodaj podkategorie, the menu's first")
        << "btnDodaj_podkategorie" << "B" << "frmDodaj_podkategorie" << true;
    QTest::newRow("Edytuj kategorie") << "btnEdytuj" << "B" << "frmEdytuj_kategorie" << false;
    QTest::newRow("Edytuj podkategorie") << "btnEdytuj_podkategorie" << "B/S" << "frmEdytuj_podkategorie" << false;
}

// Input sent through the window system, where a modal window's blocking is decided; a widget's own
// click() would go round it.
void TestCategories::nameWindowsTakeInputBesideTheModalEditor()
{
    QFETCH(QString, button);
    QFETCH(QString, chosen);
    QFETCH(QString, window);
    QFETCH(bool, fromTheMenuFirst);
    catalogue();
    AddNameForm *form = nullptr;
    for (QWidget *widget : QApplication::allWidgets())
        if (widget->objectName() == window)
            form = dynamic_cast<AddNameForm *>(widget);
    QVERIFY(form);
    frmGlowny->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmGlowny));
    if (fromTheMenuFirst) { // opened modally by the main window before the editor shows it
        whenShown(form, [form] { form->close(); });
        frmGlowny->showModal(form);
    }
    QString typed;
    bool closedByItsButton = false;
    whenShown(frmKategorie, [&] {
        if (!chosen.isEmpty())
            choose(frmKategorie->ListBox1, chosen.section('/', 0, 0));
        if (chosen.contains('/'))
            choose(frmKategorie->ListBox2, chosen.section('/', 1));
        frmKategorie->findChild<QPushButton *>(button)->click();
        if (QTest::qWaitForWindowExposed(form)) {
            form->txtNazwa->clear();
            QTest::keyClick(form->windowHandle(), Qt::Key_X);
            typed = form->txtNazwa->text();
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                              form->btnZamknij->mapTo(form, form->btnZamknij->rect().center()));
            closedByItsButton = !form->isVisible();
        }
        frmKategorie->close();
    });
    frmGlowny->Edytorkategorii1Click();
    frmGlowny->hide();
    QCOMPARE(typed, QStringLiteral("x"));
    QVERIFY(closedByItsButton);
}

// The activation refresh is asked for, as when the editor is activated, and before it runs the user
// chooses a category and one of its subcategories.
void TestCategories::choiceMadeBeforeTheActivationRefreshStays()
{
    catalogue();
    openEditor();
    frmKategorie->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmKategorie));
    QCoreApplication::processEvents();
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(frmKategorie, &activation);
    choose(frmKategorie->ListBox1, "B");
    choose(frmKategorie->ListBox2, "T");
    QCoreApplication::processEvents();
    QCOMPARE(frmKategorie->chosenCategory().value_or(TfrmKategorie::Choice{}).name, QStringLiteral("B"));
    QCOMPARE(rows(frmKategorie->ListBox2), (QStringList{"S", "T"}));
    QCOMPARE(frmKategorie->chosenSubcategory().value_or(TfrmKategorie::Choice{}).name, QStringLiteral("T"));
    QCOMPARE(states(), QStringLiteral("11111 11 1111"));
}

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
