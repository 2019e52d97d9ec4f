#include "platform/runtime/end.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace nv {

namespace {
std::function<void(int)> &endAction()
{
    static std::function<void(int)> action;
    return action;
}
} // namespace

void setEndProgramAction(std::function<void(int)> action) { endAction() = std::move(action); }

void endProgram(int exitCode)
{
    if (auto &action = endAction())
        action(exitCode);
    // Nothing else runs: no destructors, no window events. Flush what the
    // C library holds so a message written before the end is not lost.
    std::fflush(nullptr);
    _exit(exitCode);
}

} // namespace nv
