// Ending the program at once, as the platform's End statement does: no
// further events, no unload steps. Tests replace the action so that they can
// observe the end without losing their process.
#pragma once

#include <functional>

namespace nv {

[[noreturn]] void endProgram(int exitCode = 0);

// Installs the action endProgram runs instead of leaving the process; the
// action must not return (it may throw). An empty action restores the default.
void setEndProgramAction(std::function<void(int)> action);

} // namespace nv
