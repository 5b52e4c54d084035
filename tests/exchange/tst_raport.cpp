#include "app/Glowny.h"
#include "exchange/Raport.h"
#include "items/ItemListProxy.h"
#include "search/Szukaj.h"
#include "support/PdfText.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCatalogue.h"
#include "support/TestPictures.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

QAction *action(const char *name)
{
    return frmGlowny->findChild<QAction *>(QLatin1String(name));
}

void choose(QTreeWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

QStringList coin(const QString &name, const QString &year)
{
    return {name, year, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
}

// The text of the file a report was saved in: a PDF's as pdftotext reads it, an HTML page as it is.
QString reportText(const QString &fileName)
{
    if (fileName.endsWith(QLatin1String(".pdf")))
        return pdfText(fileName);
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestRaport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void reportShowsTheListAsSorted_data();
    void reportShowsTheListAsSorted();
    void nothingToReportIsTold_data();
    void nothingToReportIsTold();
    void searchResultsReport();

private:
    void chooseCoins();

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_out;
};

void TestRaport::initTestCase()
{
    TestSubcategory coins{QStringLiteral("Monety"), QStringLiteral("Polska"),
                          {QStringLiteral("Nazwa"), QStringLiteral("Rok")}, {}};
    coins.items << coin(QStringLiteral("Grosz"), QStringLiteral("1923")) << coin(QStringLiteral("Złoty"), QStringLiteral("1924"))
                << coin(QStringLiteral("Ćwierćdolarówka"), QStringLiteral("1932"))
                << coin(QStringLiteral("Żeton"), QStringLiteral("2001"));
    TestSubcategory stamps{QStringLiteral("Znaczki"), QStringLiteral("Polska"), {QStringLiteral("Nazwa")}, {}};
    stamps.items << coin(QStringLiteral("Złoty orzeł"), QString());
    writeCatalogue(m_dir, {coins, stamps});
    writeJpeg(m_out.file(QStringLiteral("grosz.jpg")), quarters(60, 40));
    m_dir.write(QStringLiteral("Monety_Polska_0.gmd"),
                crlf({"[zdjecia]", "0=" + m_out.file(QStringLiteral("grosz.jpg")), "[config]", "liczba_zdjec=1"}));
    QVERIFY(showMainWindow(m_dir.path()));
}

void TestRaport::init()
{
    m_dialogs.shown.clear();
    m_dialogs.fileRequests.clear();
    m_dialogs.printDialogs = 0;
    frmRaport->chkMiniatury->setChecked(false);
}

void TestRaport::chooseCoins()
{
    choose(frmGlowny->ListKategorie, QStringLiteral("Monety"));
    frmGlowny->ListKategorieSelectItem();
    choose(frmGlowny->ListPodkategorie, QStringLiteral("Polska"));
    frmGlowny->ListPodkategorieSelectItem();
}

void TestRaport::reportShowsTheListAsSorted_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("thumbnails");
    QTest::newRow("menu, PDF") << "Raport1" << "btnPdf" << "raport.pdf" << false;
    QTest::newRow("pop-up, HTML, name without extension") << "Raport2" << "btnHtml" << "raport" << true;
    QTest::newRow("menu, printed") << "Raport1" << "btnDrukuj" << "wydruk.pdf" << true;
}

void TestRaport::reportShowsTheListAsSorted()
{
    QFETCH(QString, entry);
    QFETCH(QString, button);
    QFETCH(QString, fileName);
    QFETCH(bool, thumbnails);
    chooseCoins();
    frmGlowny->itemList()->sort(1, Qt::DescendingOrder);
    frmGlowny->itemList()->setFilterText(QStringLiteral("19"));
    const QString target = m_out.file(fileName);
    QFile::remove(target);
    if (button == QLatin1String("btnDrukuj"))
        m_dialogs.printToNext(target);
    else
        m_dialogs.fileNameNext(target);

    whenShown(frmRaport, [&] {
        frmRaport->chkMiniatury->setChecked(thumbnails);
        QTest::mouseClick(frmRaport->findChild<QPushButton *>(button), Qt::LeftButton);
        frmRaport->btnZamknij->click();
    });
    action(entry.toLatin1().constData())->trigger();
    frmGlowny->itemList()->setFilterText(QString());
    frmGlowny->itemList()->sort(-1);

    const QString saved = fileName.contains(QLatin1Char('.')) ? target : target + QStringLiteral(".html");
    QVERIFY2(QFile::exists(saved), qPrintable(saved));
    QCOMPARE(frmRaport->lblCo->text(), QStringLiteral("Monety – Polska (liczba pozycji: 3)"));
    const QString text = reportText(saved);
    QVERIFY2(inOrder(text, {"Monety – Polska", "Ćwierćdolarówka", "Złoty", "Grosz"}), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Żeton")), qPrintable(text));
    if (saved.endsWith(QLatin1String(".pdf")))
        QCOMPARE(pdfImages(saved), thumbnails ? 1 : 0);
    else
        QCOMPARE(text.count(QStringLiteral("<img ")), thumbnails ? 1 : 0);
}

void TestRaport::nothingToReportIsTold_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("dialog cancelled") << true;
    QTest::newRow("no subcategory chosen") << false;
}

void TestRaport::nothingToReportIsTold()
{
    QFETCH(bool, cancel);
    const QStringList before = QDir(m_out.path()).entryList(QDir::Files);
    if (cancel) {
        chooseCoins();
        whenShown(frmRaport, [&] {
            frmRaport->btnPdf->click();
            frmRaport->btnDrukuj->click();
            frmRaport->btnZamknij->click();
        });
        action("Raport1")->trigger();
        QCOMPARE(m_dialogs.fileRequests.size(), 1);
        QVERIFY(m_dialogs.shown.isEmpty());
        QCOMPARE(m_dialogs.printDialogs, 1);
    } else {
        frmGlowny->ListKategorie->clearSelection();
        choose(frmGlowny->ListKategorie, QStringLiteral("Znaczki"));
        frmGlowny->ListKategorieSelectItem();
        action("Raport1")->trigger();
        QCOMPARE(m_dialogs.shown.size(), 1);
        QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Informacja"));
        QVERIFY(!frmRaport->isVisible());
    }
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files), before);
}

void TestRaport::searchResultsReport()
{
    frmSzukaj->showSearch();
    frmSzukaj->txtSzukaj->setText(QStringLiteral("złot"));
    QTRY_VERIFY(!frmSzukaj->isSearching());
    const QString target = m_out.file(QStringLiteral("szukaj.pdf"));
    m_dialogs.fileNameNext(target);
    whenShown(frmRaport, [&] {
        frmRaport->btnPdf->click();
        frmRaport->btnZamknij->click();
    });
    frmSzukaj->btnRaport->click();
    frmSzukaj->close();
    QCOMPARE(frmRaport->lblCo->text(), QStringLiteral("Wyniki wyszukiwania (znalezione pozycje: 2)"));
    const QString text = pdfText(target);
    QVERIFY2(inOrder(text, {"Wyniki wyszukiwania: „złot”", "Kategoria", "Podkategoria", "Monety", "Złoty",
                            "Znaczki", "Złoty orzeł"}),
             qPrintable(text));
}

QTEST_MAIN(TestRaport)
#include "tst_raport.moc"
