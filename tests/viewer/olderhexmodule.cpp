// HexFunctions as an install older than the viewer has it: the class with
// _HexFunctions alone, so that a QueryInterface for _HexFunctions2 answers
// E_NOINTERFACE. Its labels are the real ones.
#include "hexops/HexFunctions_i.h"
#include "hexops/hexfunctions.h"

#include "platform/com/server/classinfo.h"
#include "platform/com/server/dualobject.h"
#include "platform/com/server/entrypoints.h"
#include "platform/com/server/results.h"

namespace {

using namespace nv::com::server;

HRESULT GenerateOffset(_HexFunctions *, int32_t lngFirstByte, int16_t intLine, BSTR *result)
{
    return stringResult(result, [&] {
        const nv::hexops::OffsetLabel label = nv::hexops::generateOffset(lngFirstByte, intLine);
        return nv::com::BStr(std::u16string_view(label.data(), label.size()));
    });
}

HRESULT HexByte2BinBits(_HexFunctions *, BSTR strHexNum, BSTR *result)
{
    return stringResult(result,
                        [&] { return nv::hexops::hexByte2BinBits(nv::com::view(strHexNum)); });
}

constexpr MethodInfo kMethods[] = {
    {7,
     NV_SLOT(_HexFunctionsVtbl, GenerateOffset),
     DISPID_HexFunctions_GenerateOffset,
     ResultType::String,
     {{"lngFirstByte", ParamType::I4}, {"intLine", ParamType::I2}}},
    {8,
     NV_SLOT(_HexFunctionsVtbl, HexByte2BinBits),
     DISPID_HexFunctions_HexByte2BinBits,
     ResultType::String,
     {{"strHexNum", ParamType::String}}},
};

constexpr ClassContract kContract = contractOf<_HexFunctionsVtbl>(
    {"HexOperations", LIBID_HexOperations, {5, 0}}, {"_HexFunctions", IID__HexFunctions, {1, 0}},
    {"HexFunctions", CLSID_HexFunctions, {1, 0}}, kMethods);

const _HexFunctionsVtbl kVtbl = {NV_DUAL_SLOTS(_HexFunctions), GenerateOffset, HexByte2BinBits};

const ClassInfo kClass = {kContract, &kVtbl};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
