#include "platform/com/server/factory.h"

#include "platform/com/server/dualobject.h"
#include "platform/com/server/module.h"

#include <atomic>
#include <new>

namespace nv::com::server {

namespace {

struct Factory
{
    const IClassFactoryVtbl *lpVtbl;
    std::atomic<ULONG> refs;
    const ClassInfo *cls;
};

Factory *factory(IClassFactory *self)
{
    return reinterpret_cast<Factory *>(self);
}

ULONG factoryAddRef(IClassFactory *self)
{
    return ++factory(self)->refs;
}

ULONG factoryRelease(IClassFactory *self)
{
    return releaseObject(factory(self));
}

HRESULT factoryQueryInterface(IClassFactory *self, const GUID *iid, void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!iid)
        return E_POINTER;
    if (*iid == IID_IUnknown || *iid == IID_IClassFactory) {
        factoryAddRef(self);
        *out = self;
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT factoryCreateInstance(IClassFactory *self, void *outer, const GUID *iid, void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return createObject(*factory(self)->cls, iid, out);
}

HRESULT factoryLockServer(IClassFactory *, int32_t lock)
{
    lockServer(lock != 0);
    return S_OK;
}

const IClassFactoryVtbl kFactoryVtbl = {factoryQueryInterface, factoryAddRef, factoryRelease,
                                        factoryCreateInstance, factoryLockServer};

} // namespace

HRESULT getClassObject(const ClassInfo &cls, const GUID *clsid, const GUID *iid,
                       void **out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!clsid || !iid)
        return E_POINTER;
    if (!(*clsid == cls.contract.coclass.id))
        return CLASS_E_CLASSNOTAVAILABLE;
    auto *f = new (std::nothrow) Factory{&kFactoryVtbl, {1}, &cls};
    if (!f)
        return E_OUTOFMEMORY;
    objectCreated();
    auto *self = reinterpret_cast<IClassFactory *>(f);
    const HRESULT status = factoryQueryInterface(self, iid, out);
    factoryRelease(self);
    return status;
}

} // namespace nv::com::server
