#pragma once

#include <QString>

class QStatusBar;

// The catalogue's backups as the program makes them: on a thread of their own, one at a time,
// their progress in the main window's status bar. A backup that guards a command (an import, a
// restore) is waited for, and a failed one ends that command before it starts.
namespace Backups {

// The status bar that shows a backup's progress.
void showProgressIn(QStatusBar *bar);

// The first start of a day makes a backup: unless an archive of today exists already or the
// catalogue has no files yet. The program goes on meanwhile; a failure is shown once when it ends.
void startDaily();

// Makes a backup now and waits for it, the windows painting meanwhile but taking no input.
// Answers the archive's name, empty while the catalogue has no files; throws AppError with the
// reason, once, when none could be made.
QString makeNow();

bool isRunning();
// Waits for a running backup to end, as the program quits.
void waitForEnd();

} // namespace Backups
