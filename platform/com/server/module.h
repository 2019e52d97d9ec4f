// Module-wide counts behind DllCanUnloadNow: live objects (class objects and
// class factories alike, since either holds code of the module) and server
// locks taken through IClassFactory::LockServer.
#pragma once

#include "com/comtypes.h"

namespace nv::com::server {

void objectCreated() noexcept;
void objectDestroyed() noexcept;
void lockServer(bool lock) noexcept;
HRESULT canUnloadNow() noexcept;

} // namespace nv::com::server
