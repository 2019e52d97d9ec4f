// The HexFunctions class as one table, from which its dispatch and its type
// library are built; checked at compile time against HexFunctions_i.h. The
// class answers _HexFunctions and _HexFunctions2 with one table of slots,
// the latter's.
#pragma once

#include "hexops/HexFunctions_i.h"

#include "platform/com/server/classinfo.h"

namespace nv::com::server {

// The methods of _HexFunctions, with which _HexFunctions2 begins: their
// slots lie at the same places in both tables.
inline constexpr MethodInfo kGenerateOffsetMethod = {
    7,
    NV_SLOT(_HexFunctionsVtbl, GenerateOffset),
    DISPID_HexFunctions_GenerateOffset,
    ResultType::String,
    {{"lngFirstByte", ParamType::I4}, {"intLine", ParamType::I2}}};
inline constexpr MethodInfo kHexByte2BinBitsMethod = {8,
                                                      NV_SLOT(_HexFunctionsVtbl, HexByte2BinBits),
                                                      DISPID_HexFunctions_HexByte2BinBits,
                                                      ResultType::String,
                                                      {{"strHexNum", ParamType::String}}};

inline constexpr MethodInfo kHexFunctionsMethods[] = {
    kGenerateOffsetMethod,
    kHexByte2BinBitsMethod,
    {9,
     NV_SLOT(_HexFunctions2Vtbl, GenerateLongOffset),
     DISPID_HexFunctions_GenerateLongOffset,
     ResultType::String,
     {{"llFirstByte", ParamType::I8}, {"intLine", ParamType::I2}, {"intDigits", ParamType::I2}}},
};

inline constexpr ClassContract kHexFunctions = contractOf<_HexFunctions2Vtbl, _HexFunctionsVtbl>(
    {"HexOperations", LIBID_HexOperations, {5, 1}}, {"_HexFunctions", IID__HexFunctions, {1, 0}},
    {"_HexFunctions2", IID__HexFunctions2, {1, 0}}, {"HexFunctions", CLSID_HexFunctions, {1, 0}},
    kHexFunctionsMethods);

} // namespace nv::com::server
