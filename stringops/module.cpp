// The Strings class on the component boundary: its slots and the module's
// entry points. Dispatch and the type library come from contract.h.
#include "stringops/contract.h"
#include "stringops/stringfunctions.h"

#include "platform/com/server/dualobject.h"
#include "platform/com/server/entrypoints.h"
#include "platform/com/server/results.h"

namespace {

using namespace nv::com::server;
using nv::stringops::ElementKind;
using nv::stringops::PageArray;

HRESULT CombineChars(_Strings *, SAFEARRAY **strChrArray, int16_t intLine, BSTR *result)
{
    return stringResult(result, [&] {
        const PageArray chars(strChrArray, ElementKind::String);
        return nv::stringops::combineChars(chars, intLine);
    });
}

// Both conversions read the page and fill one table of the caller's.
HRESULT convertPage(SAFEARRAY **bytArrayIn, SAFEARRAY **strArrayOut, VARIANT_BOOL *result,
                    void (*convert)(const PageArray &, PageArray &))
{
    return falseResult(result, [&] {
        const PageArray bytes(bytArrayIn, ElementKind::Byte);
        PageArray strings(strArrayOut, ElementKind::String);
        convert(bytes, strings);
    });
}

HRESULT Convert_To_HexStr(_Strings *, SAFEARRAY **bytArrayIn, SAFEARRAY **strHexArrayOut,
                          VARIANT_BOOL *result)
{
    return convertPage(bytArrayIn, strHexArrayOut, result, nv::stringops::convertToHexStr);
}

HRESULT Convert_To_ChrStr(_Strings *, SAFEARRAY **bytArrayIn, SAFEARRAY **strChrArrayOut,
                          VARIANT_BOOL *result)
{
    return convertPage(bytArrayIn, strChrArrayOut, result, nv::stringops::convertToChrStr);
}

HRESULT InsertChar(_Strings *, BSTR Char, BSTR Into, int32_t Position, BSTR *result)
{
    return stringResult(result, [&] {
        return nv::stringops::insertChar(nv::com::view(Char), nv::com::view(Into), Position);
    });
}

HRESULT HexStr(_Strings *, uint8_t *bytByteIn, BSTR *result)
{
    if (result && !bytByteIn) {
        *result = nullptr;
        return E_POINTER;
    }
    return stringResult(result, [&] { return nv::stringops::hexStr(*bytByteIn); });
}

const _StringsVtbl kVtbl = {NV_DUAL_SLOTS(_Strings), CombineChars, Convert_To_HexStr,
                            Convert_To_ChrStr,       InsertChar,   HexStr};

const ClassInfo kClass = {nv::com::server::kStrings, &kVtbl};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
