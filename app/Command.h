#pragma once

#include <QObject>
#include <functional>

// Runs a command handler. An error that escapes it ends the handler and goes to the error display;
// what the handler wrote before stays written and the program goes on. Letting the error unwind
// through Qt's own frames instead would be undefined behaviour, so every handler starts here.
void runCommand(const std::function<void()> &handler);

// Shows the error being handled in the error display; call it only inside a catch block.
void showCurrentError();

// Connects a signal to a window's handler through runCommand.
template <typename Sender, typename Signal, typename Window>
QMetaObject::Connection connectCommand(Sender *sender, Signal signal, Window *window, void (Window::*handler)())
{
    return QObject::connect(sender, signal, window, [window, handler] { runCommand([&] { (window->*handler)(); }); });
}
