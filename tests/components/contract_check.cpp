// Compiled, not run, by the ContractCheck tests: a class contract that
// disagrees with its interface header must not compile. NV_CASE picks how it
// disagrees; without it the contract is right and must compile.
#include "hexops/HexFunctions_i.h"

#include "platform/com/server/classinfo.h"

namespace {

using namespace nv::com::server;

#define GENERATE_OFFSET(result)                                                                    \
    {                                                                                              \
        7, NV_SLOT(_HexFunctionsVtbl, GenerateOffset), DISPID_HexFunctions_GenerateOffset, result, \
        {                                                                                          \
            {"lngFirstByte", ParamType::I4},                                                       \
            {                                                                                      \
                "intLine", ParamType::I2                                                           \
            }                                                                                      \
        }                                                                                          \
    }
#define HEX_BYTE_2_BIN_BITS(param)                                                                 \
    {                                                                                              \
        8, NV_SLOT(_HexFunctionsVtbl, HexByte2BinBits), DISPID_HexFunctions_HexByte2BinBits,       \
            ResultType::String,                                                                    \
        {                                                                                          \
            {                                                                                      \
                "strHexNum", param                                                                 \
            }                                                                                      \
        }                                                                                          \
    }

constexpr MethodInfo kMethods[] = {
#if NV_CASE == 1 // slots out of order
    HEX_BYTE_2_BIN_BITS(ParamType::String),
    GENERATE_OFFSET(ResultType::String),
#elif NV_CASE == 2 // a slot of the header left out
    GENERATE_OFFSET(ResultType::String),
#elif NV_CASE == 3 // a parameter of another type than the slot's
    GENERATE_OFFSET(ResultType::String),
    HEX_BYTE_2_BIN_BITS(ParamType::I4),
#elif NV_CASE == 4 // a result of another type than the slot's
    GENERATE_OFFSET(ResultType::Boolean),
    HEX_BYTE_2_BIN_BITS(ParamType::String),
#else
    GENERATE_OFFSET(ResultType::String),
    HEX_BYTE_2_BIN_BITS(ParamType::String),
#endif
};

[[maybe_unused]] constexpr ClassContract kContract = contractOf<_HexFunctionsVtbl>(
    {"HexOperations", LIBID_HexOperations, {5, 0}}, {"_HexFunctions", IID__HexFunctions, {1, 0}},
    {"HexFunctions", CLSID_HexFunctions, {1, 0}}, kMethods);

} // namespace
