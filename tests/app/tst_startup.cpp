#include "app/Application.h"
#include "app/Command.h"
#include "app/Glowny.h"
#include "app/SingleInstance.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// A widget whose click handler fails, as a window's handler does when a write fails.
class FailingWidget : public QWidget
{
protected:
    void mousePressEvent(QMouseEvent *) override { throw AppError(QStringLiteral("Błąd w obsłudze kliknięcia")); }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data();
    void fullStopRule();
    void errorInACommandIsShownAndTheProgramGoesOn();
    void errorInAnEventHandlerReachesTheErrorDisplay();
    void firstStartAsksForTheDataDirectoryThenRuns();
};

void TestStartup::fullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("file name") << "Unable to write to C:\\Dane\\kategorie.gmd"
                               << "Unable to write to C:\\Dane\\kategorie.gmd.";
    QTest::newRow("full stop already") << "Koniec."
                                       << "Koniec.";
    QTest::newRow("exclamation mark") << "Uwaga!"
                                      << "Uwaga!";
    QTest::newRow("closing bracket") << "Błąd (5)"
                                     << "Błąd (5)";
    QTest::newRow("digit") << "JPEG error #42"
                           << "JPEG error #42.";
    QTest::newRow("question mark") << "Czy?"
                                   << "Czy?.";
    QTest::newRow("Polish letter") << "Zła ścieżka"
                                   << "Zła ścieżka.";
    QTest::newRow("trailing blank") << "Koniec "
                                    << "Koniec ";
    QTest::newRow("empty") << ""
                           << "";
}

void TestStartup::fullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorDisplayText(message), shown);
}

void TestStartup::errorInACommandIsShownAndTheProgramGoesOn()
{
    ScriptedDialogs dialogs;
    TestDir dir;
    bool wroteBefore = false;
    bool wentOn = false;
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, &button, [&] {
        runCommand([&] {
            ProfileFile(dir.file("kategorie.gmd")).WriteText("kategorie", "0", "Monety");
            wroteBefore = true;
            ProfileFile(dir.file("brak/kategorie.gmd")).WriteText("kategorie", "0", "Monety");
            QFAIL("the handler went on after the failed write");
        });
        wentOn = true;
    });
    QTest::mouseClick(&button, Qt::LeftButton);

    QVERIFY(wroteBefore && wentOn);
    QCOMPARE(dir.read("kategorie.gmd"), QByteArray("[kategorie]\r\n0=Monety\r\n"));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Gromadnik"));
    QCOMPARE(dialogs.shown[0].text, "Unable to write to " + dir.file("brak/kategorie.gmd") + ".");
    QCOMPARE(dialogs.shown[0].buttons, QMessageBox::Ok);
    QCOMPARE(dialogs.shown[0].icon, Dialogs::Icon::Error);
}

void TestStartup::errorInAnEventHandlerReachesTheErrorDisplay()
{
    ScriptedDialogs dialogs;
    FailingWidget widget;
    widget.show();
    QTest::mouseClick(&widget, Qt::LeftButton);
    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(dialogs.shown.size(), 2);
    QCOMPARE(dialogs.shown[1].caption, QStringLiteral("Gromadnik"));
    QCOMPARE(dialogs.shown[1].text, QStringLiteral("Błąd w obsłudze kliknięcia."));
}

// On the very first start no path is stored: the main window asks for it, the user saves one and
// goes on, and the main window does not ask again. Closing the main window ends the program.
void TestStartup::firstStartAsksForTheDataDirectoryThenRuns()
{
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Gromadnik.conf"));
    ScriptedDialogs dialogs;
    TestDir dir;
    int configShown = 0;
    bool mainShown = false;

    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (frmConfig_files && frmConfig_files->isVisible()) {
            ++configShown;
            dialogs.answerNext(QMessageBox::Cancel);
            frmConfig_files->Edit1->setText(dir.path());
            QTest::mouseClick(frmConfig_files->btnZapisz, Qt::LeftButton);
        } else if (frmGlowny && frmGlowny->isVisible() && !mainShown) {
            mainShown = true;
            QTimer::singleShot(300, [] { frmGlowny->close(); });
        }
    });
    poll.start();
    QTimer::singleShot(20000, [] { Application::requestQuit(); }); // never hang the suite

    auto *app = static_cast<GromadnikApplication *>(QCoreApplication::instance());
    QCOMPARE(app->run(std::chrono::milliseconds(0)), 0);

    QVERIFY(mainShown);
    QCOMPARE(configShown, 1);
    QCOMPARE(DataDirectory::path(), dir.path());
    // The folder chosen on the first start is this copy's from then on.
    QLockFile another(SingleInstance::lockFileName(dir.path()));
    QVERIFY(!another.tryLock(0));
    QCOMPARE(another.error(), QLockFile::LockFailedError);
    QCOMPARE(frmGlowny->windowTitle(), QStringLiteral("Gromadnik - Menu główne"));
    QCOMPARE(dialogs.shown.size(), 1);
    const auto splashes = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(splashes.begin(), splashes.end(),
                         [](QWidget *w) { return w->objectName() == QLatin1String("frmSplash"); }));
}

int main(int argc, char *argv[])
{
    GromadnikApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
