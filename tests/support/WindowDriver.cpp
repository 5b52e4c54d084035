#include "WindowDriver.h"

#include "app/Glowny.h"
#include "app/Windows.h"
#include "settings/StartupCheck.h"
#include "store/DataDirectory.h"

#include <QDir>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>
#include <QTimer>

void whenShown(QWidget *window, std::function<void()> action)
{
    auto *timer = new QTimer;
    auto *elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (window->isVisible()) {
            timer->stop();
            action();
        } else if (elapsed->elapsed() > 5000) {
            timer->stop();
        } else {
            return;
        }
        timer->deleteLater();
        delete elapsed;
    });
    timer->start(5);
}

void forgetViewState()
{
    DataDirectory::userSettings()->remove(QStringLiteral("Widok"));
}

void makeWindows(const QString &dataDirectory)
{
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    forgetViewState();
    DataDirectory::setPath(dataDirectory);
    createWindows();
}

bool showMainWindow(const QString &dataDirectory)
{
    makeWindows(dataDirectory);
    auto *check = frmGlowny->findChild<StartupCheck *>();
    if (!check)
        return false;
    check->setEndpoint(FtpEndpoint{QStringLiteral("127.0.0.1"), 1, {}, {}});
    frmGlowny->show();
    if (!QTest::qWaitForWindowExposed(frmGlowny))
        return false;
    QCoreApplication::processEvents();
    return true;
}
