#include "app/Glowny.h"
#include "app/Pozycje.h"
#include "store/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QString enabledPattern()
{
    QString pattern;
    for (QLineEdit *box : std::as_const(frmPozycje->Edits))
        pattern += box->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return pattern;
}

} // namespace

class TestPozycje : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensWithTheStoredNames_data();
    void opensWithTheStoredNames();
    void eachBoxLooksOnlyAtTheOneAbove();
    void enterMovesOnAndEscapeDoesNothing();
    void savingWritesAllTenNames();
    void savingNeedsTheFirstName();
    void savingRefusesNamesOutsideTheCodePage();

private:
    void openFor(const QStringList &names);
    QString itemFileName() const { return m_dir.file("Monety_Polska_dane.gmd"); }

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
};

void TestPozycje::initTestCase()
{
    makeWindows(m_dir.path());
    frmGlowny->setPanelText(0, "Monety");
    frmGlowny->setPanelText(1, "Polska");
}

void TestPozycje::init()
{
    m_dialogs.shown.clear();
    QFile::remove(itemFileName());
}

void TestPozycje::cleanup()
{
    frmPozycje->hide();
}

void TestPozycje::openFor(const QStringList &names)
{
    if (!names.isEmpty()) {
        QStringList lines{"[pozycje]"};
        for (int k = 1; k <= 10; ++k)
            lines << QStringLiteral("%1=%2").arg(k).arg(names.value(k - 1));
        m_dir.write("Monety_Polska_dane.gmd", crlfCp1250(lines));
    }
    frmPozycje->hide();
    frmPozycje->show();
    frmPozycje->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmPozycje));
}

void TestPozycje::opensWithTheStoredNames_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("no names yet") << QStringList() << "1000000000";
    QTest::newRow("names 1 to 3") << QStringList({"Nominał", "Rok", "Stan"}) << "1111000000";
    QTest::newRow("all ten") << QStringList({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}) << "1111111111";
    QTest::newRow("a gap after 2") << QStringList({"a", "b", "", "d"}) << "1110100000";
}

void TestPozycje::opensWithTheStoredNames()
{
    QFETCH(QStringList, names);
    QFETCH(QString, enabled);
    openFor(names);
    QCOMPARE(frmPozycje->windowTitle(), QStringLiteral("Gromadnik - edycja nazw pozycji"));
    QCOMPARE(frmPozycje->lblKategoria->text(), QStringLiteral("Monety"));
    QCOMPARE(frmPozycje->lblPodkategoria->text(), QStringLiteral("Polska"));
    for (int k = 0; k < 10; ++k)
        QCOMPARE(frmPozycje->Edits[k]->text(), names.value(k));
    QCOMPARE(enabledPattern(), enabled);
    QCOMPARE(frmPozycje->Edits[9]->palette().color(QPalette::Disabled, QPalette::Base), TfrmPozycje::scrollBarColour());
}

void TestPozycje::eachBoxLooksOnlyAtTheOneAbove()
{
    openFor({});
    QTest::keyClick(frmPozycje->Edits[0], Qt::Key_A);
    QCOMPARE(enabledPattern(), QStringLiteral("1100000000"));
    QTest::keyClick(frmPozycje->Edits[0], Qt::Key_Backspace);
    QCOMPARE(enabledPattern(), QStringLiteral("1000000000"));

    openFor({"a", "b", "c", "d", "e"});
    QCOMPARE(enabledPattern(), QStringLiteral("1111110000"));
    frmPozycje->Edits[2]->clear();
    QCOMPARE(enabledPattern(), QStringLiteral("1110110000"));
    QCOMPARE(frmPozycje->Edits[3]->text(), QStringLiteral("d")); // a disabled box keeps its text
    QTest::mouseClick(frmPozycje->btnZapisz, Qt::LeftButton);
    QCOMPARE(ProfileFile(itemFileName()).ReadText("pozycje", "3", "brak"), QString());
    QCOMPARE(ProfileFile(itemFileName()).ReadText("pozycje", "4", ""), QStringLiteral("d"));
    QCOMPARE(ProfileFile(itemFileName()).ReadText("pozycje", "5", ""), QStringLiteral("e"));
}

void TestPozycje::enterMovesOnAndEscapeDoesNothing()
{
    openFor({"a"});
    frmPozycje->Edits[1]->setFocus();
    QTest::keyClick(frmPozycje->Edits[1], Qt::Key_Return);
    QCOMPARE(frmPozycje->focusWidget(), frmPozycje->btnZapisz);

    frmPozycje->Edits[0]->setFocus();
    QTest::keyClick(frmPozycje->Edits[0], Qt::Key_Enter);
    QCOMPARE(frmPozycje->focusWidget(), frmPozycje->Edits[1]);
    QTest::keyClick(frmPozycje->Edits[1], Qt::Key_Escape);
    QVERIFY(frmPozycje->isVisible());
    QCOMPARE(frmPozycje->Edits[1]->text(), QString());
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestPozycje::savingWritesAllTenNames()
{
    openFor({});
    frmPozycje->Edits[0]->setText("Nominał");
    QTest::mouseClick(frmPozycje->btnZapisz, Qt::LeftButton);
    QCOMPARE(m_dir.read("Monety_Polska_dane.gmd"),
             crlfCp1250({"[pozycje]", "1=Nominał", "2=", "3=", "4=", "5=", "6=", "7=", "8=", "9=", "10="}));
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Informacja"));
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Wprowadzone dane zostały zapisane pomyślnie."));
    QVERIFY(frmPozycje->isVisible());
}

void TestPozycje::savingNeedsTheFirstName()
{
    openFor({});
    frmPozycje->btnZamknij->setFocus();
    QTest::mouseClick(frmPozycje->btnZapisz, Qt::LeftButton);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Musisz wypełnić przynajmniej jedno pole"));
    QCOMPARE(frmPozycje->focusWidget(), frmPozycje->Edits[0]);
    QVERIFY(!QFile::exists(itemFileName()));
}

void TestPozycje::savingRefusesNamesOutsideTheCodePage()
{
    openFor({"stara"});
    frmPozycje->Edits[0]->setText("Nowa");
    frmPozycje->Edits[1]->setText("Rok 日本");
    QTest::mouseClick(frmPozycje->btnZapisz, Qt::LeftButton);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Gromadnik"));
    QCOMPARE(ProfileFile(itemFileName()).ReadText("pozycje", "1", ""), QStringLiteral("stara"));
}

QTEST_MAIN(TestPozycje)
#include "tst_pozycje.moc"
