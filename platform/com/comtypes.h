// The binary types of Norvale's component model. Everything here is laid out
// to the byte as an outside client expects it (x86-64, LP64, natural C
// alignment), so the two component modules and the viewer can share it
// without sharing any code that needs linking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

using HRESULT = int32_t;
using VARIANT_BOOL = int16_t;
using BSTR = char16_t *;
using DISPID = int32_t;
using LCID = uint32_t;
using ULONG = uint32_t;

struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

inline bool operator==(const GUID &a, const GUID &b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

// Reads the text form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, in either
// letter case; false, and `g` untouched, for anything else.
constexpr bool parseGuid(std::string_view s, GUID &g)
{
    if (s.size() != 38 || s.front() != '{' || s.back() != '}')
        return false;
    uint8_t bytes[16] = {};
    size_t digits = 0;
    for (size_t i = 1; i < 37; ++i) {
        const char c = s[i];
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (c != '-')
                return false;
            continue;
        }
        const int v = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
        if (v < 0)
            return false;
        bytes[digits / 2] = uint8_t(bytes[digits / 2] << 4 | v);
        ++digits;
    }
    g.Data1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
              bytes[3];
    g.Data2 = uint16_t(bytes[4] << 8 | bytes[5]);
    g.Data3 = uint16_t(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = bytes[8 + i];
    return true;
}

// An identifier written as its text form, so that it is written once; a
// malformed text does not compile.
consteval GUID makeGuid(const char (&text)[39])
{
    GUID g{};
    if (!parseGuid({text, 38}, g))
        throw "not an identifier in its text form";
    return g;
}

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Status codes. Written as the unsigned patterns of the contract and cast,
// because the failure codes do not fit a positive int32_t literal.
constexpr HRESULT hr(uint32_t v) { return static_cast<HRESULT>(v); }
constexpr HRESULT S_OK = 0x00000000;
constexpr HRESULT S_FALSE = 0x00000001;
constexpr HRESULT E_NOTIMPL = hr(0x80004001);
constexpr HRESULT E_NOINTERFACE = hr(0x80004002);
constexpr HRESULT E_POINTER = hr(0x80004003);
constexpr HRESULT E_FAIL = hr(0x80004005);
constexpr HRESULT E_ACCESSDENIED = hr(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = hr(0x8007000E);
constexpr HRESULT E_INVALIDARG = hr(0x80070057);
constexpr HRESULT CLASS_E_NOAGGREGATION = hr(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = hr(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = hr(0x80040154);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = hr(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = hr(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = hr(0x80020006);
constexpr HRESULT DISP_E_EXCEPTION = hr(0x80020009);
constexpr HRESULT DISP_E_BADPARAMCOUNT = hr(0x8002000E);
constexpr HRESULT TYPE_E_REGISTRYACCESS = hr(0x8002801C);
// Loader failures of the runtime, in the classic Win32-derived form.
constexpr HRESULT HRESULT_MOD_NOT_FOUND = hr(0x8007007E);
constexpr HRESULT HRESULT_PROC_NOT_FOUND = hr(0x8007007F);
// A write that found no room (ERROR_DISK_FULL in the same form).
constexpr HRESULT HRESULT_DISK_FULL = hr(0x80070070);

// A run-time error number carried across the boundary.
constexpr HRESULT hresultFromErrorNumber(int n) { return hr(0x800A0000u | (uint32_t(n) & 0xFFFF)); }
constexpr bool isErrorNumberStatus(HRESULT h) { return (uint32_t(h) & 0xFFFF0000u) == 0x800A0000u; }
constexpr int errorNumberOf(HRESULT h) { return int(uint32_t(h) & 0xFFFF); }
constexpr HRESULT STATUS_OVERFLOW = hresultFromErrorNumber(6);
constexpr HRESULT STATUS_SUBSCRIPT = hresultFromErrorNumber(9);
constexpr HRESULT STATUS_TYPE_MISMATCH = hresultFromErrorNumber(13);

constexpr bool SUCCEEDED(HRESULT h) { return h >= 0; }
constexpr bool FAILED(HRESULT h) { return h < 0; }

struct SAFEARRAYBOUND
{
    uint32_t cElements;
    int32_t lLbound;
};

struct SAFEARRAY
{
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;
    uint32_t cLocks;
    void *pvData;
    SAFEARRAYBOUND rgsabound[1]; // really cDims entries, last dimension first
};
static_assert(offsetof(SAFEARRAY, pvData) == 16);
static_assert(offsetof(SAFEARRAY, rgsabound) == 24);

constexpr uint16_t FADF_BSTR = 0x0100;

// Variant types used by dispatch.
constexpr uint16_t VT_EMPTY = 0;
constexpr uint16_t VT_I2 = 2;
constexpr uint16_t VT_I4 = 3;
constexpr uint16_t VT_BSTR = 8;
constexpr uint16_t VT_BOOL = 11;
constexpr uint16_t VT_UI1 = 17;
constexpr uint16_t VT_I8 = 20;
constexpr uint16_t VT_ARRAY = 0x2000;
constexpr uint16_t VT_BYREF = 0x4000;

struct VARIANT
{
    uint16_t vt;
    uint16_t reserved[3];
    union {
        int16_t iVal;
        int32_t lVal;
        int64_t llVal;
        uint8_t bVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        uint8_t *pbVal;
        SAFEARRAY **pparray;
        BSTR *pbstrVal;
        int16_t *piVal;
        int32_t *plVal;
        VARIANT_BOOL *pboolVal;
        void *byref;
        uint8_t raw[16];
    };
};
static_assert(sizeof(VARIANT) == 24);
static_assert(offsetof(VARIANT, llVal) == 8);

struct DISPPARAMS
{
    VARIANT *rgvarg; // arguments in reverse order
    DISPID *rgdispidNamedArgs;
    uint32_t cArgs;
    uint32_t cNamedArgs;
};

struct EXCEPINFO
{
    uint16_t wCode;
    uint16_t wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    uint32_t dwHelpContext;
    void *pvReserved;
    void *pfnDeferredFillIn;
    int32_t scode;
};
static_assert(sizeof(EXCEPINFO) == 64);
static_assert(offsetof(EXCEPINFO, scode) == 56);

constexpr uint16_t DISPATCH_METHOD = 1;

// Interfaces: an object whose first member points at its table of slots.
struct IUnknown;
struct IUnknownVtbl
{
    HRESULT (*QueryInterface)(IUnknown *self, const GUID *iid, void **out);
    ULONG (*AddRef)(IUnknown *self);
    ULONG (*Release)(IUnknown *self);
};
struct IUnknown
{
    const IUnknownVtbl *lpVtbl;
};

struct IClassFactory;
struct IClassFactoryVtbl
{
    HRESULT (*QueryInterface)(IClassFactory *self, const GUID *iid, void **out);
    ULONG (*AddRef)(IClassFactory *self);
    ULONG (*Release)(IClassFactory *self);
    HRESULT (*CreateInstance)(IClassFactory *self, void *outer, const GUID *iid, void **out);
    HRESULT (*LockServer)(IClassFactory *self, int32_t lock);
};
struct IClassFactory
{
    const IClassFactoryVtbl *lpVtbl;
};

// Slots 0-6 of every dual interface. Declared as a macro so each class
// interface table starts with exactly these members, typed on its own self.
#define NV_IDISPATCH_SLOTS(Self)                                                                   \
    HRESULT (*QueryInterface)(Self * self, const GUID *iid, void **out);                          \
    ULONG (*AddRef)(Self * self);                                                                  \
    ULONG (*Release)(Self * self);                                                                 \
    HRESULT (*GetTypeInfoCount)(Self * self, uint32_t * count);                                    \
    HRESULT (*GetTypeInfo)(Self * self, uint32_t index, LCID lcid, void **info);                   \
    HRESULT (*GetIDsOfNames)(Self * self, const GUID *iid, char16_t **names, uint32_t count,      \
                             LCID lcid, DISPID *dispids);                                          \
    HRESULT (*Invoke)(Self * self, DISPID dispid, const GUID *iid, LCID lcid, uint16_t flags,      \
                      DISPPARAMS *params, VARIANT *result, EXCEPINFO *excep, uint32_t *argErr);

struct IDispatch;
struct IDispatchVtbl
{
    NV_IDISPATCH_SLOTS(IDispatch)
};
struct IDispatch
{
    const IDispatchVtbl *lpVtbl;
};

constexpr GUID IID_IUnknown = makeGuid("{00000000-0000-0000-C000-000000000046}");
constexpr GUID IID_IClassFactory = makeGuid("{00000001-0000-0000-C000-000000000046}");
constexpr GUID IID_IDispatch = makeGuid("{00020400-0000-0000-C000-000000000046}");

// The four entry points every component module exports.
using PFN_DllGetClassObject = HRESULT (*)(const GUID *clsid, const GUID *iid, void **out);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();
using PFN_DllUnregisterServer = HRESULT (*)();

namespace nv::com {
// The threading model our classes are registered with and listed under.
inline constexpr char kThreadingModel[] = "Apartment";
} // namespace nv::com
