// The four exported entry points of a component module, each handing its one
// class description to the shared server code. Use once per module, at
// namespace scope.
#pragma once

#include "platform/com/server/factory.h"
#include "platform/com/server/module.h"
#include "platform/com/server/registration.h"

#define NV_COMPONENT_EXPORT extern "C" __attribute__((visibility("default")))

#define NV_COMPONENT_ENTRY_POINTS(classInfo)                                                       \
    NV_COMPONENT_EXPORT HRESULT DllGetClassObject(const GUID *clsid, const GUID *iid, void **out)  \
    {                                                                                              \
        return nv::com::server::getClassObject(classInfo, clsid, iid, out);                        \
    }                                                                                              \
    NV_COMPONENT_EXPORT HRESULT DllCanUnloadNow()                                                  \
    {                                                                                              \
        return nv::com::server::canUnloadNow();                                                    \
    }                                                                                              \
    NV_COMPONENT_EXPORT HRESULT DllRegisterServer()                                                \
    {                                                                                              \
        return nv::com::server::registerServer(classInfo);                                         \
    }                                                                                              \
    NV_COMPONENT_EXPORT HRESULT DllUnregisterServer()                                              \
    {                                                                                              \
        return nv::com::server::unregisterServer(classInfo);                                       \
    }
