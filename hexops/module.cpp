// The HexFunctions class on the component boundary: its slots, its dispatch
// table and the module's entry points.
#include "HexFunctions_i.h"
#include "hexfunctions.h"

#include "dualobject.h"
#include "entrypoints.h"
#include "guard.h"
#include "results.h"

namespace {

using namespace nv::com::server;

HRESULT GenerateOffset(_HexFunctions *, int32_t lngFirstByte, int16_t intLine, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return guarded(
        [&] { return returnString(nv::hexops::generateOffset(lngFirstByte, intLine), result); });
}

HRESULT HexByte2BinBits(_HexFunctions *, BSTR strHexNum, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return guarded([&] {
        return returnString(nv::hexops::hexByte2BinBits(nv::com::view(strHexNum)), result);
    });
}

const _HexFunctionsVtbl kVtbl = {NV_DUAL_SLOTS(_HexFunctions), GenerateOffset, HexByte2BinBits};

_HexFunctions *self(void *p)
{
    return static_cast<_HexFunctions *>(p);
}

const MethodInfo kMethods[] = {
    {"GenerateOffset",
     DISPID_HexFunctions_GenerateOffset,
     2,
     {VT_I4, VT_I2},
     {"lngFirstByte", "intLine"},
     VT_BSTR,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return GenerateOffset(self(p), a[0]->lVal, a[1]->iVal, &r->bstrVal);
     }},
    {"HexByte2BinBits",
     DISPID_HexFunctions_HexByte2BinBits,
     1,
     {VT_BSTR},
     {"strHexNum"},
     VT_BSTR,
     [](void *p, VARIANT *const *a, VARIANT *r) {
         return HexByte2BinBits(self(p), a[0]->bstrVal, &r->bstrVal);
     }},
};

const ClassInfo kClass = {CLSID_HexFunctions,
                          IID__HexFunctions,
                          LIBID_HexOperations,
                          "HexFunctions",
                          "_HexFunctions",
                          "HexOperations.HexFunctions",
                          "HexOperations",
                          "5.0",
                          &kVtbl,
                          kMethods,
                          std::size(kMethods)};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
