// Running event handlers. A control raises its events as Qt signals; a
// window's handler is the slot, connected through connectHandler, which runs
// it under runHandler. A run-time error that the handler does not trap goes
// to the platform, which shows it in a message box and ends the program, as
// the classic runtime does; nothing ever unwinds through Qt's event loop.
#pragma once

#include <QObject>

#include <functional>

namespace nv::forms {

void runHandler(const std::function<void()> &handler);

// Connects a control's event signal to a window's handler (a member function
// taking the signal's leading arguments, for example a control array's
// index). The connection goes with the window.
template <class Sender, class Signal, class Window, class... Args>
QMetaObject::Connection connectHandler(const Sender *control, Signal event, Window *window,
                                       void (Window::*handler)(Args...))
{
    return QObject::connect(control, event, window, [window, handler](Args... args) {
        runHandler([&] { (window->*handler)(args...); });
    });
}

} // namespace nv::forms
