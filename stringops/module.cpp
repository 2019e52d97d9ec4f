// The Strings class on the component boundary: its slots, its dispatch
// table and the module's entry points.
#include "Strings_i.h"
#include "stringfunctions.h"

#include "dualobject.h"
#include "entrypoints.h"
#include "guard.h"
#include "results.h"

namespace {

using namespace nv::com::server;
using nv::stringops::ElementKind;
using nv::stringops::PageArray;

HRESULT CombineChars(_Strings *, SAFEARRAY **strChrArray, int16_t intLine, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return guarded([&] {
        const PageArray chars(strChrArray, ElementKind::String);
        return returnString(nv::stringops::combineChars(chars, intLine), result);
    });
}

HRESULT Convert_To_HexStr(_Strings *, SAFEARRAY **bytArrayIn, SAFEARRAY **strHexArrayOut,
                          VARIANT_BOOL *result)
{
    if (!result)
        return E_POINTER;
    *result = VARIANT_FALSE; // also after a complete conversion
    return guarded([&] {
        const PageArray bytes(bytArrayIn, ElementKind::Byte);
        PageArray hex(strHexArrayOut, ElementKind::String);
        nv::stringops::convertToHexStr(bytes, hex);
        return S_OK;
    });
}

HRESULT Convert_To_ChrStr(_Strings *, SAFEARRAY **bytArrayIn, SAFEARRAY **strChrArrayOut,
                          VARIANT_BOOL *result)
{
    if (!result)
        return E_POINTER;
    *result = VARIANT_FALSE;
    return guarded([&] {
        const PageArray bytes(bytArrayIn, ElementKind::Byte);
        PageArray chars(strChrArrayOut, ElementKind::String);
        nv::stringops::convertToChrStr(bytes, chars);
        return S_OK;
    });
}

HRESULT InsertChar(_Strings *, BSTR Char, BSTR Into, int32_t Position, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return guarded([&] {
        return returnString(
            nv::stringops::insertChar(nv::com::view(Char), nv::com::view(Into), Position), result);
    });
}

HRESULT HexStr(_Strings *, uint8_t *bytByteIn, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!bytByteIn)
        return E_POINTER;
    return guarded([&] { return returnString(nv::stringops::hexStr(*bytByteIn), result); });
}

const _StringsVtbl kVtbl = {NV_DUAL_SLOTS(_Strings), CombineChars, Convert_To_HexStr,
                            Convert_To_ChrStr,       InsertChar,   HexStr};

_Strings *self(void *p)
{
    return static_cast<_Strings *>(p);
}

constexpr uint16_t kStringArrayRef = VT_BYREF | VT_ARRAY | VT_BSTR;
constexpr uint16_t kByteArrayRef = VT_BYREF | VT_ARRAY | VT_UI1;

const MethodInfo kMethods[] = {
    {"CombineChars",
     DISPID_Strings_CombineChars,
     2,
     {kStringArrayRef, VT_I2},
     {"strChrArray", "intLine"},
     VT_BSTR,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return CombineChars(self(p), a[0]->pparray, a[1]->iVal, &r->bstrVal);
     }},
    {"Convert_To_HexStr",
     DISPID_Strings_Convert_To_HexStr,
     2,
     {kByteArrayRef, kStringArrayRef},
     {"bytArrayIn", "strHexArrayOut"},
     VT_BOOL,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return Convert_To_HexStr(self(p), a[0]->pparray, a[1]->pparray, &r->boolVal);
     }},
    {"Convert_To_ChrStr",
     DISPID_Strings_Convert_To_ChrStr,
     2,
     {kByteArrayRef, kStringArrayRef},
     {"bytArrayIn", "strChrArrayOut"},
     VT_BOOL,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return Convert_To_ChrStr(self(p), a[0]->pparray, a[1]->pparray, &r->boolVal);
     }},
    {"InsertChar",
     DISPID_Strings_InsertChar,
     3,
     {VT_BSTR, VT_BSTR, VT_I4},
     {"Char", "Into", "Position"},
     VT_BSTR,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return InsertChar(self(p), a[0]->bstrVal, a[1]->bstrVal, a[2]->lVal, &r->bstrVal);
     }},
    {"HexStr",
     DISPID_Strings_HexStr,
     1,
     {VT_BYREF | VT_UI1},
     {"bytByteIn"},
     VT_BSTR,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return HexStr(self(p), a[0]->pbVal, &r->bstrVal);
     }},
};

const ClassInfo kClass = {CLSID_Strings,
                          IID__Strings,
                          LIBID_StringOperations,
                          "Strings",
                          "_Strings",
                          "StringOperations.Strings",
                          "StringOperations",
                          "7.0",
                          &kVtbl,
                          kMethods,
                          std::size(kMethods)};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
