#include "Application.h"

#include "Command.h"
#include "Dialogs.h"
#include "Glowny.h"
#include "Splash.h"
#include "Windows.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/Journal.h"

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

} // namespace

GromadnikApplication::GromadnikApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(Application::title);
    setOrganizationName(Application::title);
    setApplicationVersion(Application::version);
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
        auto *splash = new TfrmSplash;
        splash->show();
        splash->repaint();
        processEvents();
        createWindows();
        // The splash is meant to stay still for this long; nothing is repainted meanwhile.
        QThread::msleep(static_cast<unsigned long>(splashTime.count()));
        delete splash;
        recoverCatalogue();
        // Shown from inside the event loop, so that a quit asked for while it opens ends the loop.
        QTimer::singleShot(0, frmGlowny, &QWidget::show);
        return exec();
    } catch (...) {
        showCurrentError(); // an error during start-up ends the program
    }
    return 1;
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
