#include "platform/com/server/module.h"

#include <atomic>

namespace nv::com::server {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

// A client that unlocks more often than it locked must not drive the
// count below zero and so hide a later lock.
void decrementFloor(std::atomic<long> &count)
{
    long v = count.load();
    while (v > 0 && !count.compare_exchange_weak(v, v - 1)) {
    }
}
} // namespace

void objectCreated() noexcept
{
    ++g_objects;
}
void objectDestroyed() noexcept
{
    decrementFloor(g_objects);
}

void lockServer(bool lock) noexcept
{
    if (lock)
        ++g_locks;
    else
        decrementFloor(g_locks);
}

HRESULT canUnloadNow() noexcept
{
    return g_objects.load() == 0 && g_locks.load() == 0 ? S_OK : S_FALSE;
}

} // namespace nv::com::server
