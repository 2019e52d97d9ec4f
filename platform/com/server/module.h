// Module-wide counts behind DllCanUnloadNow: live objects (class objects and
// class factories alike, since either holds code of the module) and server
// locks taken through IClassFactory::LockServer.
#pragma once

#include "platform/com/comtypes.h"

namespace nv::com::server {

void objectCreated() noexcept;
void objectDestroyed() noexcept;
void lockServer(bool lock) noexcept;
HRESULT canUnloadNow() noexcept;

// Drops one reference of a class object or factory of the module; the last
// one deletes it and takes it off the count.
template <class T> ULONG releaseObject(T *obj) noexcept
{
    const ULONG left = --obj->refs;
    if (left == 0) {
        delete obj;
        objectDestroyed();
    }
    return left;
}

} // namespace nv::com::server
