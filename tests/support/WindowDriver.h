#pragma once

#include <QWidget>
#include <functional>

// Runs `action` as soon as `window` is on screen, as a user would act in a modal window that the
// code under test is about to open. Gives up quietly (closing the window) after a few seconds, so
// a test that went wrong fails instead of hanging.
void whenShown(QWidget *window, std::function<void()> action);

// The main window and every other window made once, as at start-up, with the data directory set.
// How an earlier run left the windows (their place, columns, last choice) is no part of a test.
void forgetViewState();
void makeWindows(const QString &dataDirectory);
// makeWindows, then the main window shown as at start-up, its version check sent where nothing
// listens so that it fails at once and its notice cannot land in a later test. False when the
// window never showed.
bool showMainWindow(const QString &dataDirectory);
