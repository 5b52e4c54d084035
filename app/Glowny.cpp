#include "Glowny.h"

#include "Application.h"
#include "Command.h"
#include "FormStyle.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"

#include <QShowEvent>
#include <QTimer>

TfrmGlowny *frmGlowny = nullptr;

TfrmGlowny::TfrmGlowny()
{
    setObjectName(QStringLiteral("frmGlowny"));
    setWindowTitle(QStringLiteral("Gromadnik - Menu główne"));
    applyFormColour(this);
    resize(700, 516);
}

void TfrmGlowny::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(this);
        // Once the window is on screen: the handler may open a modal window over it.
        QTimer::singleShot(0, this, [this] { runCommand([this] { FormShow(); }); });
    }
}

// Closing the main window ends the program, whatever other window is open.
void TfrmGlowny::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    Application::requestQuit();
}

void TfrmGlowny::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Run after the activation event, and after a pending show handler, since the refresh too may
    // open a modal window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activationPending) {
        m_activationPending = true;
        QTimer::singleShot(0, this, [this] {
            m_activationPending = false;
            runCommand([this] { FormActivate(); });
        });
    }
}

QString TfrmGlowny::dataDirectoryOrAsk()
{
    const QString dir = DataDirectory::path();
    if (dir.isEmpty())
        frmConfig_files->exec();
    return dir;
}

void TfrmGlowny::FormShow()
{
    dataDirectoryOrAsk();
}

void TfrmGlowny::FormActivate()
{
    dataDirectoryOrAsk();
}
