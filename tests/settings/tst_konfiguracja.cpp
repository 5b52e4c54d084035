#include "TestFtpServer.h"
#include "app/Glowny.h"
#include "settings/Konfiguracja.h"
#include "settings/StartupCheck.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray categoryList(const QString &settingLine)
{
    QStringList lines{"[kategorie]", "0=Monety", "[config]", "liczba_kategorii=1"};
    if (!settingLine.isEmpty())
        lines << settingLine;
    return crlf(lines);
}

void openFromTheMenu(std::function<void()> action)
{
    whenShown(frmKonfiguracja, std::move(action));
    frmGlowny->findChild<QAction *>(QStringLiteral("Konfiguracja1"))->trigger();
}

} // namespace

class TestKonfiguracja : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsAsDesigned();
    void showsTheStoredSetting_data();
    void showsTheStoredSetting();
    void savingWritesTheChoice_data();
    void savingWritesTheChoice();
    void droppedChoiceIsNotShownAtReopening();
    void unwritableFileShowsOnlyTheError();
    void switchingOnStartsTheCheckOnceTheWindowCloses();

private:
    ScriptedDialogs m_dialogs;
    TestDir m_dir;
};

void TestKonfiguracja::initTestCase()
{
    makeWindows(m_dir.path());
    // No check in this suite goes to the maker's server.
    frmGlowny->startupCheck()->setEndpoint(refusingEndpoint());
}

void TestKonfiguracja::init()
{
    m_dialogs.shown.clear();
    m_dir.write("kategorie.gmd", categoryList(QString()));
}

void TestKonfiguracja::cleanup()
{
    frmKonfiguracja->hide();
    QFile::setPermissions(m_dir.file("kategorie.gmd"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestKonfiguracja::startsAsDesigned()
{
    QCOMPARE(frmKonfiguracja->windowTitle(), QStringLiteral("Gromadnik - Konfiguracja programu"));
    QCOMPARE(frmKonfiguracja->palette().color(QPalette::Window), QColor(221, 216, 179));
    QCOMPARE(frmKonfiguracja->GroupBox2->title(), QStringLiteral("Sprawdzaj czy jest nowa wersja po uruchomieniu"));
    QCOMPARE(frmKonfiguracja->GroupBox2->toolTip(),
             QStringLiteral("Tutaj możesz ustawić czy program po uruchomieniu ma sprawdzać dostępność nowej wersji"));
    QCOMPARE(frmKonfiguracja->btnZapisz->toolTip(), QStringLiteral("Zapisuje konfiguracje"));
    QCOMPARE(frmKonfiguracja->btnZamknij->toolTip(), QStringLiteral("Zamyka to okno"));
    frmKonfiguracja->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmKonfiguracja));
    QVERIFY(frmKonfiguracja->radioWersja1->x() < frmKonfiguracja->radioWersja2->x());
    QVERIFY(frmKonfiguracja->btnZapisz->x() < frmKonfiguracja->btnZamknij->x());
    QVERIFY(frmKonfiguracja->btnZapisz->y() > frmKonfiguracja->GroupBox2->geometry().bottom());
}

void TestKonfiguracja::showsTheStoredSetting_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("yes");
    QTest::newRow("1") << "sprawdz_wersje=1" << true;
    QTest::newRow("missing") << "" << false;
    QTest::newRow("0") << "sprawdz_wersje=0" << false;
    QTest::newRow("2") << "sprawdz_wersje=2" << false;
}

void TestKonfiguracja::showsTheStoredSetting()
{
    QFETCH(QString, line);
    QFETCH(bool, yes);
    m_dir.write("kategorie.gmd", categoryList(line));
    frmKonfiguracja->radioWersja1->setChecked(!yes); // what the last showing left
    frmKonfiguracja->radioWersja2->setChecked(yes);
    frmKonfiguracja->show();
    QCOMPARE(frmKonfiguracja->radioWersja1->isChecked(), yes);
    QCOMPARE(frmKonfiguracja->radioWersja2->isChecked(), !yes);
}

void TestKonfiguracja::savingWritesTheChoice_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("choice"); // the radio button clicked, or none
    QTest::addColumn<QString>("stored");
    QTest::newRow("missing, kept at no") << ""
                                         << ""
                                         << "sprawdz_wersje=0";
    QTest::newRow("2, shown and kept as no") << "sprawdz_wersje=2"
                                             << ""
                                             << "sprawdz_wersje=0";
    QTest::newRow("switched on") << "sprawdz_wersje=0"
                                 << "radioWersja1"
                                 << "sprawdz_wersje=1";
    QTest::newRow("switched off") << "sprawdz_wersje=1"
                                  << "radioWersja2"
                                  << "sprawdz_wersje=0";
}

void TestKonfiguracja::savingWritesTheChoice()
{
    QFETCH(QString, line);
    QFETCH(QString, choice);
    QFETCH(QString, stored);
    m_dir.write("kategorie.gmd", categoryList(line));
    frmKonfiguracja->show();
    if (!choice.isEmpty())
        QTest::mouseClick(frmKonfiguracja->findChild<QRadioButton *>(choice), Qt::LeftButton);
    QTest::mouseClick(frmKonfiguracja->btnZapisz, Qt::LeftButton);

    QCOMPARE(m_dir.read("kategorie.gmd"), categoryList(stored));
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Informacja"));
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Konfiguracja zapisana"));
    QCOMPARE(m_dialogs.shown[0].buttons, QMessageBox::Ok);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Icon::None);
    QVERIFY(frmKonfiguracja->isVisible());
}

void TestKonfiguracja::droppedChoiceIsNotShownAtReopening()
{
    openFromTheMenu([] {
        QTest::mouseClick(frmKonfiguracja->radioWersja1, Qt::LeftButton);
        QTest::mouseClick(frmKonfiguracja->btnZamknij, Qt::LeftButton);
    });
    QVERIFY(!frmKonfiguracja->isVisible());
    QCOMPARE(m_dir.read("kategorie.gmd"), categoryList(QString()));
    QVERIFY(!frmGlowny->startupCheck()->running()); // still off: no network

    bool shownYes = true;
    openFromTheMenu([&] {
        shownYes = frmKonfiguracja->radioWersja1->isChecked();
        frmKonfiguracja->btnZamknij->click();
    });
    QVERIFY(!shownYes);
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestKonfiguracja::unwritableFileShowsOnlyTheError()
{
    const QString file = m_dir.file("kategorie.gmd");
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    frmKonfiguracja->show();
    QTest::mouseClick(frmKonfiguracja->radioWersja1, Qt::LeftButton);
    QTest::mouseClick(frmKonfiguracja->btnZapisz, Qt::LeftButton);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Gromadnik"));
    QCOMPARE(m_dialogs.shown[0].text, "Unable to write to " + file + ".");
    QCOMPARE(m_dir.read("kategorie.gmd"), categoryList(QString()));
}

// Runs last: a completed check is not repeated in the run.
void TestKonfiguracja::switchingOnStartsTheCheckOnceTheWindowCloses()
{
    TestFtpServer server;
    QVERIFY(server.isListening());
    server.putVersionFile("0.3.0");
    StartupCheck *check = frmGlowny->startupCheck();
    check->setEndpoint(server.endpoint());
    QSignalSpy ended(check, &StartupCheck::ended);
    openFromTheMenu([] {
        QTest::mouseClick(frmKonfiguracja->radioWersja1, Qt::LeftButton);
        QTest::mouseClick(frmKonfiguracja->btnZapisz, Qt::LeftButton);
        QVERIFY(!frmGlowny->startupCheck()->running()); // not before the window closes
        QTest::mouseClick(frmKonfiguracja->btnZamknij, Qt::LeftButton);
    });
    QVERIFY(check->running());
    QVERIFY(ended.wait(20'000));
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown[1].caption, QStringLiteral("Nowa wersja"));
    QVERIFY(check->done());
    QCOMPARE(m_dir.read("wersja.txt"), QByteArray("0.3.0"));
    QCOMPARE(frmGlowny->Memo1->toPlainText(), QStringLiteral("0.3.0"));

    frmGlowny->FormActivate();
    QVERIFY(!check->running());
}

QTEST_MAIN(TestKonfiguracja)
#include "tst_konfiguracja.moc"
