#pragma once

// Makes every window of the program once, hidden, in the order in which they depend on each other.
// The first one made, the main window, is the application's main window.
void createWindows();
