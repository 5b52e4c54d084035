#include "Application.h"

#include "Backups.h"
#include "Command.h"
#include "Dialogs.h"
#include "Glowny.h"
#include "Splash.h"
#include "Windows.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/Journal.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QThread>
#include <QTimer>
#include <QTranslator>

namespace {

bool quitWasRequested = false;

// A command killed half way is finished before any window reads the catalogue.
void recoverCatalogue()
{
    QString dir;
    try {
        dir = DataDirectory::path();
    } catch (const AppError &) {
        return; // the main window reports the stored value
    }
    if (dir.isEmpty())
        return;
    if (const QString notice = Journal::recover(dir).notice(); !notice.isEmpty())
        Dialogs::information(nullptr, notice);
}

void installPolishQtTexts(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// Asked by a later start: the window the user works in comes to the front.
QString bringForward()
{
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = frmGlowny;
    if (!window)
        return {}; // still starting: the main window shows in front by itself
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    return window->objectName();
}

QString runningMessage(const QString &dir)
{
    return QStringLiteral("Gromadnik jest już uruchomiony z danymi w %1 i nie odpowiada. Dwa uruchomione programy "
                          "zapisujące te same pliki gubiłyby dane, więc ten zostanie zamknięty; nic nie zostało "
                          "zmienione.")
        .arg(dir);
}

} // namespace

GromadnikApplication::GromadnikApplication(int &argc, char **argv) : QApplication(argc, argv), m_instance(bringForward)
{
    setApplicationName(Application::title);
    setOrganizationName(Application::title);
    setApplicationVersion(Application::version);
    // The desktop entry that launched it, for the desktop to match the windows with it.
    setDesktopFileName(QStringLiteral(GROMADNIK_APP_ID));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/" GROMADNIK_APP_ID ".svg")));
    setQuitOnLastWindowClosed(false); // the main window's close ends the program, no other's
    installPolishQtTexts(*this);
}

bool GromadnikApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentError();
    }
    return false;
}

int GromadnikApplication::run(std::chrono::milliseconds splashTime)
{
    try {
        QString dir;
        try {
            dir = DataDirectory::path();
        } catch (const AppError &) {
            // unreadable: the main window reports it, and the folder is taken once one is chosen
        }
        switch (m_instance.claim(dir)) {
        case SingleInstance::Claim::Owned:
            break;
        case SingleInstance::Claim::Forwarded:
            return 0;
        case SingleInstance::Claim::Unreachable:
            Dialogs::information(nullptr, runningMessage(dir));
            return 0;
        }
        // Only the copy that holds the catalogue touches its files, so all else comes after the claim.
        auto *splash = new TfrmSplash;
        splash->show();
        splash->repaint();
        processEvents();
        createWindows();
        // The data-directory window chooses the folder on the first start and may change it later.
        connect(frmConfig_files, &QDialog::finished, this, [this] {
            runCommand([this] {
                if (Application::quitRequested())
                    return;
                if (claimChosenFolder())
                    recoverCatalogue(); // a folder chosen now may hold a command killed half way
                else
                    Application::requestQuit();
            });
        });
        // The splash is meant to stay still for this long; nothing is repainted meanwhile.
        QThread::msleep(static_cast<unsigned long>(splashTime.count()));
        delete splash;
        recoverCatalogue();
        // Shown from inside the event loop, so that a quit asked for while it opens ends the loop.
        QTimer::singleShot(0, frmGlowny, &QWidget::show);
        // The day's first start keeps the catalogue as it was found, while the user goes on working.
        QTimer::singleShot(0, frmGlowny, [] { runCommand(Backups::startDaily); });
        connect(this, &QCoreApplication::aboutToQuit, this, &Backups::waitForEnd);
        return exec();
    } catch (...) {
        showCurrentError(); // an error during start-up ends the program
    }
    return 1;
}

bool GromadnikApplication::claimChosenFolder()
{
    const QString dir = DataDirectory::path();
    switch (m_instance.claim(dir)) {
    case SingleInstance::Claim::Owned:
        return true;
    case SingleInstance::Claim::Forwarded:
        Dialogs::information(nullptr, QStringLiteral("Z danymi w %1 pracuje już inny uruchomiony program Gromadnik; "
                                                     "jego okno zostało wysunięte na wierzch, a ten program zostanie "
                                                     "zamknięty.")
                                          .arg(dir));
        return false;
    case SingleInstance::Claim::Unreachable:
        Dialogs::information(nullptr, runningMessage(dir));
        return false;
    }
    return true;
}

namespace Application {

void requestQuit()
{
    quitWasRequested = true;
    QCoreApplication::quit();
}

bool quitRequested()
{
    return quitWasRequested;
}

void resetQuitRequest()
{
    quitWasRequested = false;
}

} // namespace Application
