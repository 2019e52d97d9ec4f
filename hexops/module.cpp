// The HexFunctions class on the component boundary: its slots and the
// module's entry points. Dispatch and the type library come from contract.h.
#include "hexops/contract.h"
#include "hexops/hexfunctions.h"

#include "platform/com/server/dualobject.h"
#include "platform/com/server/entrypoints.h"
#include "platform/com/server/results.h"

namespace {

using namespace nv::com::server;

// The slots take the self of _HexFunctions2, whose table serves both interfaces.
HRESULT GenerateOffset(_HexFunctions2 *, int32_t lngFirstByte, int16_t intLine, BSTR *result)
{
    return stringResult(result, [&] {
        const nv::hexops::OffsetLabel label = nv::hexops::generateOffset(lngFirstByte, intLine);
        return nv::com::BStr(std::u16string_view(label.data(), label.size()));
    });
}

HRESULT HexByte2BinBits(_HexFunctions2 *, BSTR strHexNum, BSTR *result)
{
    return stringResult(result,
                        [&] { return nv::hexops::hexByte2BinBits(nv::com::view(strHexNum)); });
}

HRESULT GenerateLongOffset(_HexFunctions2 *, int64_t llFirstByte, int16_t intLine,
                           int16_t intDigits, BSTR *result)
{
    return stringResult(
        result, [&] { return nv::hexops::generateLongOffset(llFirstByte, intLine, intDigits); });
}

const _HexFunctions2Vtbl kVtbl = {NV_DUAL_SLOTS(_HexFunctions2), GenerateOffset, HexByte2BinBits,
                                  GenerateLongOffset};

const ClassInfo kClass = {nv::com::server::kHexFunctions, &kVtbl};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
