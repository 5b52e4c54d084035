#include "app/Glowny.h"
#include "exchange/Import_CSV.h"
#include "store/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCatalogue.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

namespace {

void choose(QTreeWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

void trigger()
{
    frmGlowny->findChild<QAction *>(QStringLiteral("ImportzplikuCSV1"))->trigger();
}

// Windows-1250, comma-separated, with a header whose first name is the subcategory's field.
const QByteArray file = "Rok,Opis,\"Uwagi, inne\"\r\n1934,\"Z\xB3oty\r\nsrebrny\",x\r\n1935,,y\r\n";

} // namespace

class TestImportCsv : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void refusedWithoutASubcategory();
    void importsWhatTheChoicesSay();
    void refusedValueKeepsTheWindowOpen();
    void targetsStayOverTheirColumns();

private:
    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_files;
};

void TestImportCsv::initTestCase()
{
    QVERIFY(showMainWindow(m_dir.path()));
    m_files.write("plik.csv", file);
}

void TestImportCsv::init()
{
    m_dialogs.shown.clear();
    m_dialogs.fileRequests.clear();
    writeCatalogue(m_dir, {{"Monety", "Polska", {"Nominał", "Rok"}, {{"5 zł", "1932"}}}});
    frmGlowny->FormActivate();
    choose(frmGlowny->ListKategorie, "Monety");
}

void TestImportCsv::refusedWithoutASubcategory()
{
    trigger();
    QVERIFY(m_dialogs.fileRequests.isEmpty());
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.startsWith(QStringLiteral("Najpierw wybierz podkategorię")));
}

void TestImportCsv::importsWhatTheChoicesSay()
{
    choose(frmGlowny->ListPodkategorie, "Polska");
    m_dialogs.fileNameNext(m_files.file("plik.csv"));
    QStringList presets;
    int columnsWithSemicolon = 0;
    whenShown(frmImport_CSV, [&] {
        presets << frmImport_CSV->cmbKodowanie->currentText() << frmImport_CSV->cmbSeparator->currentText();
        for (int c = 0; c < 3; ++c)
            presets << frmImport_CSV->targetBox(c)->currentText();
        frmImport_CSV->cmbSeparator->setCurrentIndex(0); // średnik: one column
        columnsWithSemicolon = frmImport_CSV->gridPodglad->model()->columnCount();
        frmImport_CSV->cmbSeparator->setCurrentIndex(1);
        QComboBox *third = frmImport_CSV->targetBox(2);
        third->setCurrentIndex(third->findText(QStringLiteral("Komentarz")));
        QTest::mouseClick(frmImport_CSV->btnImportuj, Qt::LeftButton);
    });
    trigger();
    QCOMPARE(m_dialogs.fileRequests.size(), 1);
    QVERIFY(m_dialogs.fileRequests[0].mustExist);
    QCOMPARE(presets, (QStringList{"Windows-1250", "przecinek", "Pole 2: Rok", "Opis", "Pole 1: Nominał"}));
    QCOMPARE(columnsWithSemicolon, 1);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Dodano pozycji z pliku CSV: 2."));
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->rowCount(), 3);
    const ProfileFile items(m_dir.file("Monety_Polska_dane.gmd"));
    QCOMPARE(items.ReadText("1", "pozycja2", {}), QStringLiteral("1934"));
    QCOMPARE(items.ReadMultiline("1", "opis"), QStringLiteral("Złoty\r\nsrebrny"));
    QCOMPARE(items.ReadMultiline("2", "komentarz"), QStringLiteral("y"));
    QCOMPARE(items.ReadText("2", "pozycja1", {}), QString());
}

void TestImportCsv::refusedValueKeepsTheWindowOpen()
{
    choose(frmGlowny->ListPodkategorie, "Polska");
    m_files.write("zly.csv", "Rok;Opis\r\n1934;\xD0\x96\r\n");
    const QByteArray before = m_dir.read("Monety_Polska_dane.gmd");
    m_dialogs.fileNameNext(m_files.file("zly.csv"));
    bool stayed = false;
    whenShown(frmImport_CSV, [&] {
        QTest::mouseClick(frmImport_CSV->btnImportuj, Qt::LeftButton);
        stayed = frmImport_CSV->isVisible();
        QTest::mouseClick(frmImport_CSV->btnAnuluj, Qt::LeftButton);
    });
    trigger();
    QVERIFY(stayed);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY2(m_dialogs.shown[0].text.startsWith(QStringLiteral("Wiersz 2, kolumna 2 (\"Opis\"): Znak \"Ж\"")),
             qPrintable(m_dialogs.shown[0].text));
    QCOMPARE(m_dir.read("Monety_Polska_dane.gmd"), before);

    // A file damaged past reading is told before the window opens.
    m_files.write("zly.csv", "Rok;Opis\r\n1934;\"bez końca\r\n");
    m_dialogs.fileNameNext(m_files.file("zly.csv"));
    trigger();
    QCOMPARE(m_dialogs.shown.size(), 2);
    QVERIFY(m_dialogs.shown[1].text.contains(QStringLiteral("nie został zamknięty")));
    QVERIFY(!frmImport_CSV->isVisible());
}

// The targets live outside the preview, so they must follow its columns through scrolling,
// resizing and the focus reaching a target whose column is out of sight.
void TestImportCsv::targetsStayOverTheirColumns()
{
    choose(frmGlowny->ListPodkategorie, "Polska");
    QByteArray wide;
    for (int row = 0; row < 40; ++row)
        wide += QByteArray("a;").repeated(11) + "z\r\n";
    m_files.write("szeroki.csv", wide);
    m_dialogs.fileNameNext(m_files.file("szeroki.csv"));
    QStringList misplaced;
    whenShown(frmImport_CSV, [&] {
        QTableView *grid = frmImport_CSV->gridPodglad;
        const auto check = [&](const char *after) {
            QCoreApplication::processEvents();
            const int right = grid->viewport()->mapTo(frmImport_CSV, QPoint(grid->viewport()->width(), 0)).x();
            for (int c = 0; c < 12; ++c) {
                const int column = grid->viewport()->mapTo(frmImport_CSV, QPoint(grid->columnViewportPosition(c), 0)).x();
                QComboBox *box = frmImport_CSV->targetBox(c);
                const int left = box->mapTo(frmImport_CSV, QPoint(0, 0)).x();
                const QRect seen = box->visibleRegion().boundingRect();
                if (left != column || box->width() != grid->columnWidth(c)
                    || (column < right && column + box->width() > right && seen.width() != right - column))
                    misplaced << QStringLiteral("%1: kolumna %2").arg(after).arg(c + 1);
            }
        };
        check("start");
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        check("przewinięcie");
        grid->setColumnWidth(10, 60);
        check("zmiana szerokości");
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        frmImport_CSV->targetBox(0)->setFocus();
        QCOMPARE(grid->horizontalScrollBar()->value(), 0);
        check("fokus");
        frmImport_CSV->resize(frmImport_CSV->width() + 100, frmImport_CSV->height());
        check("okno");
        QTest::mouseClick(frmImport_CSV->btnAnuluj, Qt::LeftButton);
    });
    trigger();
    QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(u", ")));
}

QTEST_MAIN(TestImportCsv)
#include "tst_import_csv.moc"
