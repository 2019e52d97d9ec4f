// The HexFunctions class on the component boundary: its slots and the
// module's entry points. Dispatch and the type library come from contract.h.
#include "hexops/contract.h"
#include "hexops/hexfunctions.h"

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

const _HexFunctionsVtbl kVtbl = {NV_DUAL_SLOTS(_HexFunctions), GenerateOffset, HexByte2BinBits};

const ClassInfo kClass = {nv::com::server::kHexFunctions, &kVtbl};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
