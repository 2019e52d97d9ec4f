// HexFunctions as an install older than the viewer has it: the class with
// _HexFunctions alone, so that a QueryInterface for _HexFunctions2 answers
// E_NOINTERFACE. Its labels are the real ones.
#include "hexops/contract.h"
#include "hexops/slots.h"

#include "platform/com/server/dualobject.h"
#include "platform/com/server/entrypoints.h"

namespace {

using namespace nv::com::server;

constexpr MethodInfo kMethods[] = {nv::com::server::kGenerateOffsetMethod,
                                   nv::com::server::kHexByte2BinBitsMethod};

constexpr ClassContract kContract = contractOf<_HexFunctionsVtbl>(
    {"HexOperations", LIBID_HexOperations, {5, 0}}, {"_HexFunctions", IID__HexFunctions, {1, 0}},
    {"HexFunctions", CLSID_HexFunctions, {1, 0}}, kMethods);

const _HexFunctionsVtbl kVtbl = {NV_DUAL_SLOTS(_HexFunctions),
                                 nv::hexops::generateOffsetSlot<_HexFunctions>,
                                 nv::hexops::hexByte2BinBitsSlot<_HexFunctions>};

const ClassInfo kClass = {kContract, &kVtbl};

} // namespace

NV_COMPONENT_ENTRY_POINTS(kClass)
