// The class factory handed out by DllGetClassObject. Each call makes a new
// factory; while any factory reference is held the module counts as in use.
#pragma once

#include "platform/com/server/classinfo.h"

namespace nv::com::server {

HRESULT getClassObject(const ClassInfo &cls, const GUID *clsid, const GUID *iid,
                       void **out) noexcept;

} // namespace nv::com::server
