#include "app/Glowny.h"
#include "exchange/Eksport_arkusza.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCatalogue.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

void choose(QTreeWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

// What the window showed when it opened, as "control: enabled/disabled caption".
QStringList stateOf(const TfrmEksport_arkusza *window)
{
    QStringList state;
    for (const QAbstractButton *radio : {static_cast<QAbstractButton *>(window->radioPodkategoria),
                                         static_cast<QAbstractButton *>(window->radioKategoria),
                                         static_cast<QAbstractButton *>(window->radioKatalog)})
        state.append(QStringLiteral("%1%2%3")
                         .arg(radio->isChecked() ? "(x) " : "", radio->isEnabled() ? "" : "[off] ", radio->text()));
    return state;
}

} // namespace

class TestEksportArkusza : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportsTheChosenScope_data();
    void exportsTheChosenScope();
    void existingFileIsReplacedOnlyWhenAsked_data();
    void existingFileIsReplacedOnlyWhenAsked();

private:
    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_out;
};

void TestEksportArkusza::initTestCase()
{
    writeCatalogue(m_dir, {{"Monety", "Polska", {"Rok", "Stan"}, {{"1934", "dobry"}, {"1949", "zły"}}},
                           {"Monety", "Niemcy", {"Rok"}, {{"1871"}}},
                           {"Żetony", "Kasyna", {"Nominał"}, {{"10 zł"}}}});
    QVERIFY(showMainWindow(m_dir.path()));
}

void TestEksportArkusza::exportsTheChosenScope_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("subcategory");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("choice"); // the controls clicked, then each list's entry chosen
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QByteArray>("begins");
    QTest::addColumn<QString>("notice");

    // Nothing chosen yet: the first row.
    QTest::newRow("whole catalogue as a workbook")
        << "" << "" << QStringList{"[off] Podkategoria (nie wybrano)", "[off] Kategoria (nie wybrano)", "(x) Cały katalog"}
        << "radioXLSX" << "katalog.xlsx" << QByteArray("PK") << "Zapisano 4 pozycje do pliku %1.";
    QTest::newRow("subcategory, UTF-8 and semicolons")
        << "Monety" << "Polska"
        << QStringList{"(x) Podkategoria: Polska", "Kategoria: Monety", "Cały katalog"} << "" << "Monety_Polska.csv"
        << QByteArray("\xEF\xBB\xBFKategoria;Podkategoria;Rok;Stan;Opis;Komentarz;Zdjęcia\r\nMonety;Polska;1934;dobry;;;\r\n")
        << "Zapisano 2 pozycje do pliku %1.";
    QTest::newRow("category, Windows-1250 and commas")
        << "Monety" << "" << QStringList{"[off] Podkategoria (nie wybrano)", "(x) Kategoria: Monety", "Cały katalog"}
        << "1,1" << "Monety.csv"
        << QByteArray("Kategoria,Podkategoria,Rok,Stan,Opis,Komentarz,Zdj\xEA" "cia\r\nMonety,Polska,1934,dobry,,,\r\n")
        << "Zapisano 3 pozycje do pliku %1.";
    QTest::newRow("whole catalogue chosen over a subcategory")
        << "Żetony" << "Kasyna" << QStringList{"(x) Podkategoria: Kasyna", "Kategoria: Żetony", "Cały katalog"}
        << "radioKatalog" << "katalog.csv" << QByteArray("\xEF\xBB\xBFKategoria;Podkategoria;Rok;Stan;Nomina\xC5\x82;")
        << "Zapisano 4 pozycje do pliku %1.";
}

void TestEksportArkusza::exportsTheChosenScope()
{
    QFETCH(QString, category);
    QFETCH(QString, subcategory);
    QFETCH(QStringList, shown);
    QFETCH(QString, choice);
    QFETCH(QString, proposed);
    QFETCH(QByteArray, begins);
    QFETCH(QString, notice);

    if (!category.isEmpty())
        choose(frmGlowny->ListKategorie, category);
    if (!subcategory.isEmpty())
        choose(frmGlowny->ListPodkategorie, subcategory);
    m_dialogs.shown.clear();
    m_dialogs.fileRequests.clear();
    const QString file = m_out.file(QFileInfo(proposed).completeBaseName() + QStringLiteral("_wynik"));
    m_dialogs.fileNameNext(file); // the dialog adds no extension: the window does
    QStringList state;
    bool csvOptions = false;
    whenShown(frmEksport_arkusza, [&] {
        state = stateOf(frmEksport_arkusza);
        frmEksport_arkusza->radioCSV->click(); // the format and its options stay as chosen last
        frmEksport_arkusza->comboKodowanie->setCurrentIndex(0);
        frmEksport_arkusza->comboSeparator->setCurrentIndex(0);
        if (choice.contains(QLatin1Char(','))) {
            frmEksport_arkusza->comboKodowanie->setCurrentIndex(choice.section(',', 0, 0).toInt());
            frmEksport_arkusza->comboSeparator->setCurrentIndex(choice.section(',', 1, 1).toInt());
        } else if (!choice.isEmpty()) {
            frmEksport_arkusza->findChild<QRadioButton *>(choice)->click();
        }
        csvOptions = frmEksport_arkusza->comboKodowanie->isEnabled() && frmEksport_arkusza->comboSeparator->isEnabled();
        QTest::mouseClick(frmEksport_arkusza->btnEksportuj, Qt::LeftButton);
    });
    frmGlowny->findChild<QAction *>(QStringLiteral("Eksportdoarkusza1"))->trigger();

    QCOMPARE(state, shown);
    QCOMPARE(csvOptions, !proposed.endsWith(QLatin1String(".xlsx")));
    QVERIFY(!frmEksport_arkusza->isVisible());
    QCOMPARE(m_dialogs.fileRequests.size(), 1);
    QCOMPARE(QFileInfo(m_dialogs.fileRequests[0].proposed).fileName(), proposed);
    const QString written = file + QLatin1Char('.') + QFileInfo(proposed).suffix();
    QVERIFY(m_out.read(QFileInfo(written).fileName()).startsWith(begins));
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Informacja"));
    QCOMPARE(m_dialogs.shown[0].text, notice.arg(QDir::toNativeSeparators(written)));
}

void TestEksportArkusza::existingFileIsReplacedOnlyWhenAsked_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
}

void TestEksportArkusza::existingFileIsReplacedOnlyWhenAsked()
{
    QFETCH(int, answer);
    QFETCH(bool, replaced);

    m_out.write("stary.csv", "stary");
    m_dialogs.shown.clear();
    m_dialogs.fileNameNext(m_out.file("stary.csv"));
    m_dialogs.answerNext(QMessageBox::StandardButton(answer));
    whenShown(frmEksport_arkusza, [&] {
        frmEksport_arkusza->radioCSV->click();
        QTest::mouseClick(frmEksport_arkusza->btnEksportuj, Qt::LeftButton);
        if (frmEksport_arkusza->isVisible()) // a No leaves the window open for another name
            QTest::mouseClick(frmEksport_arkusza->btnAnuluj, Qt::LeftButton);
    });
    frmGlowny->findChild<QAction *>(QStringLiteral("Eksportdoarkusza2"))->trigger();

    QVERIFY(!frmEksport_arkusza->isVisible());
    QCOMPARE(m_dialogs.shown.value(0).caption, QStringLiteral("Pytanie"));
    QCOMPARE(m_dialogs.shown.value(0).text,
             QStringLiteral("Plik %1 już istnieje. Czy zastąpić go?").arg(QDir::toNativeSeparators(m_out.file("stary.csv"))));
    QCOMPARE(m_out.read("stary.csv") != "stary", replaced);
    QCOMPARE(m_dialogs.shown.size(), replaced ? 2 : 1);
}

QTEST_MAIN(TestEksportArkusza)
#include "tst_eksport_arkusza.moc"
