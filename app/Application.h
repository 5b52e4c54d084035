#pragma once

#include "SingleInstance.h"

#include <QApplication>
#include <chrono>

// The application object: the last net for an error that escapes an event handler, and start-up.
class GromadnikApplication : public QApplication
{
public:
    GromadnikApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Splash, every window made once, the wait, then the event loop. Returns the exit code. A start
    // on a data folder that a running copy holds brings that copy forward and ends at once.
    int run(std::chrono::milliseconds splashTime = std::chrono::milliseconds(3000));

private:
    // Takes the catalogue chosen in the data-directory window; answers false when this copy must end.
    bool claimChosenFolder();

    SingleInstance m_instance;
};

namespace Application {

inline const QString title = QStringLiteral("Gromadnik");
inline const QString version = QStringLiteral("0.2.9");

// Ends the application once the running handler has returned.
void requestQuit();
bool quitRequested();
void resetQuitRequest(); // for tests

} // namespace Application
