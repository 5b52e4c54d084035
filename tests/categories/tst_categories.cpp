#include "app/Glowny.h"
#include "categories/CategoryStore.h"
#include "categories/Dodaj_podkategorie.h"
#include "categories/Edytuj_kategorie.h"
#include "categories/Frmedytor_kategorii.h"
#include "items/ItemStore.h"
#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

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
    void movesAreWrittenAtOnce();
    void closingDropsTheChoiceKeys();
    void renamingACategoryCarriesEveryFile();
    void renamingASubcategoryCarriesItsFiles();
    void sameNameChangesNothing();
    void clashingNamesAreRefused();
    void staleChoicesAreRefused();
    void aFailedMovePutsBackWhatWasMoved();
    void subcategoryFromTheEditorGoesToTheMainWindowsCategory();

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

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
