// The exception barrier of the component boundary: every entry point and
// slot runs its body through guarded(), so no C++ exception leaves a module.
#pragma once

#include "platform/com/comtypes.h"

namespace nv::com::server {

// To be called inside a catch block: the status that stands for the
// exception in flight (std::bad_alloc: E_OUTOFMEMORY; a run-time error: its
// number as 0x800A0000 | n; anything else: E_FAIL).
HRESULT statusFromCurrentException() noexcept;

template <class F> HRESULT guarded(F &&body) noexcept
{
    try {
        return body();
    } catch (...) {
        return statusFromCurrentException();
    }
}

} // namespace nv::com::server
