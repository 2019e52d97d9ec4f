// The HexFunctions class as one table, from which its dispatch and its type
// library are built; checked at compile time against HexFunctions_i.h.
#pragma once

#include "hexops/HexFunctions_i.h"

#include "platform/com/server/classinfo.h"

namespace nv::com::server {

inline constexpr MethodInfo kHexFunctionsMethods[] = {
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

inline constexpr ClassContract kHexFunctions = contractOf<_HexFunctionsVtbl>(
    {"HexOperations", LIBID_HexOperations, {5, 0}}, {"_HexFunctions", IID__HexFunctions, {1, 0}},
    {"HexFunctions", CLSID_HexFunctions, {1, 0}}, kHexFunctionsMethods);

} // namespace nv::com::server
