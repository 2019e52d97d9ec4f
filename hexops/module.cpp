// The HexFunctions class on the component boundary: its slots and the
// module's entry points. Dispatch and the type library come from contract.h.
#include "hexops/contract.h"
#include "hexops/hexfunctions.h"
#include "hexops/slots.h"

#include "platform/com/server/dualobject.h"
#include "platform/com/server/entrypoints.h"
#include "platform/com/server/results.h"

namespace {

using namespace nv::com::server;

HRESULT GenerateLongOffset(_HexFunctions2 *, int64_t llFirstByte, int16_t intLine,
                           int16_t intDigits, BSTR *result)
{
    return stringResult(
        result, [&] { return nv::hexops::generateLongOffset(llFirstByte, intLine, intDigits); });
}

// The slots take the self of _HexFunctions2, whose table serves both interfaces.
const _HexFunctions2Vtbl kVtbl = {
    NV_DUAL_SLOTS(_HexFunctions2), nv::hexops::generateOffsetSlot<_HexFunctions2>,
    nv::hexops::hexByte2BinBitsSlot<_HexFunctions2>, GenerateLongOffset};

const ClassInfo kClass = {nv::com::server::kHexFunctions, &kVtbl};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
