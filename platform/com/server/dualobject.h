// The reference-counted object behind a dual class interface. The classes of
// the modules carry no state, so one object layout serves them all: the
// pointer to the class's table of slots first, as a client sees it, then the
// count and the class description.
//
// Slots 0-6 of a class's table come from DualSlots<Self>, which forwards to
// the shared implementations below with the class's own self type.
#pragma once

#include "platform/com/server/classinfo.h"

#include <atomic>

namespace nv::com::server {

struct DualObject
{
    const void *lpVtbl;
    std::atomic<ULONG> refs;
    const ClassInfo *cls;
};

// A new object of the class, asked for `iid`; E_NOINTERFACE leaves no object.
HRESULT createObject(const ClassInfo &cls, const GUID *iid, void **out) noexcept;

HRESULT dualQueryInterface(void *self, const GUID *iid, void **out) noexcept;
ULONG dualAddRef(void *self) noexcept;
ULONG dualRelease(void *self) noexcept;
HRESULT dualGetTypeInfoCount(void *self, uint32_t *count) noexcept;
HRESULT dualGetTypeInfo(void *self, uint32_t index, LCID lcid, void **info) noexcept;
HRESULT dualGetIDsOfNames(void *self, const GUID *iid, char16_t **names, uint32_t count, LCID lcid,
                          DISPID *dispids) noexcept;
HRESULT dualInvoke(void *self, DISPID dispid, const GUID *iid, LCID lcid, uint16_t flags,
                   DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep,
                   uint32_t *argErr) noexcept;

template <class Self> struct DualSlots
{
    static HRESULT QueryInterface(Self *s, const GUID *iid, void **out)
    {
        return dualQueryInterface(s, iid, out);
    }
    static ULONG AddRef(Self *s) { return dualAddRef(s); }
    static ULONG Release(Self *s) { return dualRelease(s); }
    static HRESULT GetTypeInfoCount(Self *s, uint32_t *count)
    {
        return dualGetTypeInfoCount(s, count);
    }
    static HRESULT GetTypeInfo(Self *s, uint32_t index, LCID lcid, void **info)
    {
        return dualGetTypeInfo(s, index, lcid, info);
    }
    static HRESULT GetIDsOfNames(Self *s, const GUID *iid, char16_t **names, uint32_t count,
                                 LCID lcid, DISPID *dispids)
    {
        return dualGetIDsOfNames(s, iid, names, count, lcid, dispids);
    }
    static HRESULT Invoke(Self *s, DISPID dispid, const GUID *iid, LCID lcid, uint16_t flags,
                          DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep, uint32_t *argErr)
    {
        return dualInvoke(s, dispid, iid, lcid, flags, params, result, excep, argErr);
    }
};

// The first seven members of a class's table of slots.
#define NV_DUAL_SLOTS(Self)                                                                        \
    nv::com::server::DualSlots<Self>::QueryInterface, nv::com::server::DualSlots<Self>::AddRef,    \
        nv::com::server::DualSlots<Self>::Release,                                                 \
        nv::com::server::DualSlots<Self>::GetTypeInfoCount,                                        \
        nv::com::server::DualSlots<Self>::GetTypeInfo,                                             \
        nv::com::server::DualSlots<Self>::GetIDsOfNames, nv::com::server::DualSlots<Self>::Invoke

} // namespace nv::com::server
