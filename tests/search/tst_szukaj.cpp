#include "app/Glowny.h"
#include "search/SearchResults.h"
#include "search/Szukaj.h"
#include "settings/StartupCheck.h"
#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/ProfileStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCatalogue.h"
#include "support/WindowDriver.h"
#include "viewer/Pokaz.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

namespace {

QList<TestSubcategory> sampleCatalogue()
{
    return {
        {"Monety", "Polska", {"Nazwa", "Miasto"}, {{"Złotówka", "Kraków"}, {"Grosz", "Łódź"}, {"Dukat", "Gdańsk"}}},
        {"Monety", "Niemcy", {"Nazwa"}, {{"Mark"}}},
        {"Znaczki", "Europa", {"Tytuł"}, {{"Orzeł"}, {"Lodzia"}}},
    };
}

QStringList rows(const SearchResults &results)
{
    QStringList texts;
    for (int r = 0; r < results.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < SearchResults::ColumnCount; ++c)
            cells << results.index(r, c).data().toString();
        texts << cells.join(QLatin1Char('|'));
    }
    return texts;
}

} // namespace

class TestSzukaj : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void typedTextFindsAndEnterOpensTheItem();
    void hitNoLongerInTheCatalogueIsToldAndSearchedAgain_data();
    void hitNoLongerInTheCatalogueIsToldAndSearchedAgain();

private:
    void search(const QString &text, const QString &status);

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
};

void TestSzukaj::initTestCase()
{
    QVERIFY(showMainWindow(m_dir.path()));
}

void TestSzukaj::init()
{
    m_dialogs.shown.clear();
    frmSzukaj->txtSzukaj->clear();
    writeCatalogue(m_dir, sampleCatalogue());
    ProfileStore::clear();
    frmGlowny->FormActivate();
}

// Ctrl+F in the main window, then the text typed key by key, as the user does.
void TestSzukaj::search(const QString &text, const QString &status)
{
    frmGlowny->activateWindow();
    // The offscreen platform is slow to give the activation back once the viewer has closed.
    QTRY_COMPARE(QApplication::activeWindow(), frmGlowny);
    QTest::keyClick(frmGlowny, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(frmSzukaj->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QTRY_VERIFY(frmSzukaj->txtSzukaj->hasFocus());
    QTest::keyClicks(frmSzukaj->txtSzukaj, text);
    QTRY_COMPARE(frmSzukaj->lblStan->text(), status);
}

void TestSzukaj::typedTextFindsAndEnterOpensTheItem()
{
    search(QStringLiteral("lodz"), QStringLiteral("Znaleziono: 2"));
    QCOMPARE(rows(frmSzukaj->results()),
             (QStringList{"Monety|Polska|Grosz|Miasto: Łódź", "Znaczki|Europa|Lodzia|Tytuł: Lodzia"}));
    QCOMPARE(frmSzukaj->results().index(0, SearchResults::TextColumn).data(SearchResults::MatchRole).toPoint(),
             QPoint(8, 4));
    QTRY_COMPARE(frmSzukaj->cmbGdzie->count(), 5); // "Miasto", "Nazwa", "Tytuł" after the two fixed entries

    frmSzukaj->lstWyniki->setFocus();
    frmSzukaj->lstWyniki->setCurrentIndex(frmSzukaj->results().index(0, 0));
    QString shownItem;
    whenShown(frmPokaz, [&] {
        shownItem = frmGlowny->lblpozycja->text();
        frmPokaz->close();
    });
    QTest::keyClick(frmSzukaj->lstWyniki, Qt::Key_Return);
    QCOMPARE(shownItem, QStringLiteral("1"));
    QCOMPARE(frmGlowny->panelText(0), QStringLiteral("Monety"));
    QCOMPARE(frmGlowny->panelText(1), QStringLiteral("Polska"));
    QCOMPARE(frmGlowny->selectedItemNumber(), 1);
    QVERIFY(frmSzukaj->isVisible());
    QVERIFY(m_dialogs.shown.isEmpty());
    frmSzukaj->close();
}

void TestSzukaj::hitNoLongerInTheCatalogueIsToldAndSearchedAgain_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("status"); // after the search again
    const QString items = CatalogueFiles::itemFile({}, "Monety", "Polska");
    QTest::newRow("value changed") << items << "=Łódź"
                                   << "=Łowicz"
                                   << "Znaleziono: 1";
    QTest::newRow("item gone") << items << "liczba_pozycji=3"
                               << "liczba_pozycji=1"
                               << "Znaleziono: 1";
    QTest::newRow("subcategory gone") << CatalogueFiles::subcategoryList({}, "Monety") << "0=Polska"
                                      << "0=Inna"
                                      << "Znaleziono: 1";
    QTest::newRow("category gone") << CatalogueFiles::categoryList({}) << "0=Monety"
                                   << "0=Inne"
                                   << "Znaleziono: 1";
}

void TestSzukaj::hitNoLongerInTheCatalogueIsToldAndSearchedAgain()
{
    QFETCH(QString, file);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, status);
    search(QStringLiteral("lodz"), QStringLiteral("Znaleziono: 2"));
    QByteArray bytes = m_dir.read(file);
    QVERIFY(bytes.contains(Codepage::encode(from)));
    m_dir.write(file, bytes.replace(Codepage::encode(from), Codepage::encode(to)));
    ProfileStore::clear();

    bool viewerShown = false;
    whenShown(frmPokaz, [&] {
        viewerShown = true;
        frmPokaz->close();
    });
    frmSzukaj->lstWynikiActivate(0);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Informacja"));
    QTRY_COMPARE(frmSzukaj->lblStan->text(), status);
    QVERIFY(!viewerShown);
    QVERIFY(!rows(frmSzukaj->results()).join(QLatin1Char('\n')).contains(QStringLiteral("Grosz")));
    frmSzukaj->close();
}

QTEST_MAIN(TestSzukaj)
#include "tst_szukaj.moc"
