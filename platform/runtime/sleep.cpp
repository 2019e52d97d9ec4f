#include "platform/runtime/sleep.h"

#include <cerrno>
#include <ctime>

namespace nv {

void Sleep(uint32_t milliseconds)
{
    timespec left{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

} // namespace nv
