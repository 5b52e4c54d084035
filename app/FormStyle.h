#pragma once

class QWidget;

// The program's own window colour, RGB(221, 216, 179), given to every window when it is made.
void applyFormColour(QWidget *form);

// Places the window in the middle of the screen it is on.
void centreOnScreen(QWidget *form);
