#include "platform/com/server/dualobject.h"

#include "platform/com/server/guard.h"
#include "platform/com/server/module.h"

#include "platform/com/bstr.h"
#include "platform/com/status/statustext.h"

#include <cstring>
#include <new>

namespace nv::com::server {

namespace {

constexpr HRESULT DISP_E_NONAMEDARGS = hr(0x80020007);
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr uint16_t DISPATCH_PROPERTYGET = 2;

DualObject *object(void *self)
{
    return static_cast<DualObject *>(self);
}

// Names are matched without regard to ASCII case. Reads `name` no further
// than one unit past the length of `known`, so an unterminated name costs
// nothing beyond that.
bool sameName(const char16_t *name, const char *known)
{
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (;; ++name, ++known) {
        const char16_t k = char16_t(static_cast<unsigned char>(*known));
        if (fold(*name) != fold(k))
            return false;
        if (k == 0)
            return true;
    }
}

const MethodInfo *findMethod(const ClassInfo &cls, DISPID dispid)
{
    for (size_t i = 0; i < cls.contract.methodCount; ++i)
        if (cls.contract.methods[i].dispid == dispid)
            return &cls.contract.methods[i];
    return nullptr;
}

void fillException(EXCEPINFO *excep, const ClassInfo &cls, HRESULT status)
{
    std::memset(excep, 0, sizeof *excep);
    // Out of memory here only costs the texts; the status still reaches the caller.
    try {
        const std::string source = progId(cls.contract);
        const std::string text = nv::com::statusText(status);
        excep->bstrSource = allocString(std::u16string(source.begin(), source.end()));
        excep->bstrDescription = allocString(std::u16string(text.begin(), text.end()));
    } catch (...) {
    }
    excep->scode = status;
}

void clearResult(VARIANT &v, ResultType resultType)
{
    if (resultType == ResultType::String)
        SysFreeString(v.bstrVal);
    std::memset(&v, 0, sizeof v);
}

} // namespace

HRESULT createObject(const ClassInfo &cls, const GUID *iid, void **out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    auto *obj = new (std::nothrow) DualObject{cls.vtable, {1}, &cls};
    if (!obj)
        return E_OUTOFMEMORY;
    objectCreated();
    const HRESULT status = dualQueryInterface(obj, iid, out);
    dualRelease(obj);
    return status;
}

HRESULT dualQueryInterface(void *self, const GUID *iid, void **out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!iid)
        return E_POINTER;
    DualObject *obj = object(self);
    const ClassContract &c = obj->cls->contract;
    // One table serves both interfaces of a class that has two: the derived
    // one begins with the slots of the first.
    if (*iid == IID_IUnknown || *iid == IID_IDispatch || *iid == c.dual.id ||
        (hasDerived(c) && *iid == c.derived.id)) {
        dualAddRef(obj);
        *out = obj;
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG dualAddRef(void *self) noexcept
{
    return ++object(self)->refs;
}

ULONG dualRelease(void *self) noexcept
{
    return releaseObject(object(self));
}

HRESULT dualGetTypeInfoCount(void *, uint32_t *count) noexcept
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT dualGetTypeInfo(void *, uint32_t, LCID, void **info) noexcept
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT dualGetIDsOfNames(void *self, const GUID *, char16_t **names, uint32_t count, LCID,
                          DISPID *dispids) noexcept
{
    if (count == 0)
        return S_OK;
    if (!names || !dispids)
        return E_POINTER;
    for (uint32_t i = 0; i < count; ++i)
        dispids[i] = DISPID_UNKNOWN;

    const MethodInfo *method = nullptr;
    const ClassContract &contract = object(self)->cls->contract;
    for (size_t m = 0; names[0] && m < contract.methodCount; ++m)
        if (sameName(names[0], contract.methods[m].name))
            method = &contract.methods[m];
    if (!method)
        return DISP_E_UNKNOWNNAME;
    dispids[0] = method->dispid;

    // Further names are the method's parameters; their ids are their positions.
    HRESULT status = S_OK;
    for (uint32_t i = 1; i < count; ++i) {
        for (uint32_t p = 0; names[i] && p < method->paramCount(); ++p)
            if (sameName(names[i], method->params[p].name))
                dispids[i] = DISPID(p);
        if (dispids[i] == DISPID_UNKNOWN)
            status = DISP_E_UNKNOWNNAME;
    }
    return status;
}

HRESULT dualInvoke(void *self, DISPID dispid, const GUID *, LCID, uint16_t flags,
                   DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep, uint32_t *argErr) noexcept
{
    const ClassInfo &cls = *object(self)->cls;
    const MethodInfo *method = findMethod(cls, dispid);
    if (!method || !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
        return DISP_E_MEMBERNOTFOUND;

    const uint32_t cArgs = params ? params->cArgs : 0;
    if (params && params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (cArgs != method->paramCount())
        return DISP_E_BADPARAMCOUNT;
    if (cArgs > 0 && !params->rgvarg)
        return E_INVALIDARG;

    // Arguments arrive last-first; the position reported for a mismatch is
    // the argument's index in rgvarg.
    VARIANT *args[kMaxParams] = {};
    for (uint32_t i = 0; i < cArgs; ++i) {
        VARIANT *arg = &params->rgvarg[cArgs - 1 - i];
        if (arg->vt != traits(method->params[i].type).variantType) {
            if (argErr)
                *argErr = cArgs - 1 - i;
            return DISP_E_TYPEMISMATCH;
        }
        args[i] = arg;
    }

    VARIANT value;
    std::memset(&value, 0, sizeof value);
    const HRESULT status = guarded([&] { return method->call(self, args, &value); });
    if (FAILED(status)) {
        clearResult(value, method->result);
        if (result)
            std::memset(result, 0, sizeof *result);
        if (excep)
            fillException(excep, cls, status);
        return DISP_E_EXCEPTION;
    }
    value.vt = traits(method->result).variantType;
    if (result)
        *result = value;
    else
        clearResult(value, method->result);
    return S_OK;
}

} // namespace nv::com::server
