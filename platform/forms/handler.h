// Running event handlers. Every control event reaches the window's handler
// through runHandler. A run-time error that the handler does not trap goes
// to the platform, which shows it in a message box and ends the program, as
// the classic runtime does; nothing ever unwinds through Qt's event loop.
#pragma once

#include <functional>

namespace nv::forms {

void runHandler(const std::function<void()> &handler);

} // namespace nv::forms
