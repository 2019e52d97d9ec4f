// Compiled, not run, by the ContractCheck tests: a class contract that
// disagrees with its interface header must not compile. NV_CASE picks how it
// disagrees; without it the contract is right and must compile.
#include "hexops/HexFunctions_i.h"

#include "platform/com/server/classinfo.h"

namespace {

using namespace nv::com::server;

#define GENERATE_OFFSET(result)                                                                    \
    {                                                                                              \
        7, NV_SLOT(TABLE, GenerateOffset), DISPID_HexFunctions_GenerateOffset, result,             \
        {                                                                                          \
            {"lngFirstByte", ParamType::I4},                                                       \
            {                                                                                      \
                "intLine", ParamType::I2                                                           \
            }                                                                                      \
        }                                                                                          \
    }
#define HEX_BYTE_2_BIN_BITS(param)                                                                 \
    {                                                                                              \
        8, NV_SLOT(TABLE, HexByte2BinBits), DISPID_HexFunctions_HexByte2BinBits,                   \
            ResultType::String,                                                                    \
        {                                                                                          \
            {                                                                                      \
                "strHexNum", param                                                                 \
            }                                                                                      \
        }                                                                                          \
    }
#define GENERATE_LONG_OFFSET                                                                       \
    {                                                                                              \
        9, NV_SLOT(TABLE, GenerateLongOffset), DISPID_HexFunctions_GenerateLongOffset,             \
            ResultType::String,                                                                    \
        {                                                                                          \
            {"llFirstByte", ParamType::I8}, {"intLine", ParamType::I2},                            \
            {                                                                                      \
                "intDigits", ParamType::I2                                                         \
            }                                                                                      \
        }                                                                                          \
    }

#if NV_CASE == 5 // the first interface's table named as the class's
#define TABLE _HexFunctionsVtbl
#else
#define TABLE _HexFunctions2Vtbl
#endif

constexpr MethodInfo kMethods[] = {
#if NV_CASE == 1 // slots out of order
    HEX_BYTE_2_BIN_BITS(ParamType::String),
    GENERATE_OFFSET(ResultType::String),
    GENERATE_LONG_OFFSET,
#elif NV_CASE == 2 // a slot of the header left out
    GENERATE_OFFSET(ResultType::String),
    HEX_BYTE_2_BIN_BITS(ParamType::String),
#elif NV_CASE == 3 // a parameter of another type than the slot's
    GENERATE_OFFSET(ResultType::String),
    HEX_BYTE_2_BIN_BITS(ParamType::I4),
    GENERATE_LONG_OFFSET,
#elif NV_CASE == 4 // a result of another type than the slot's
    GENERATE_OFFSET(ResultType::Boolean),
    HEX_BYTE_2_BIN_BITS(ParamType::String),
    GENERATE_LONG_OFFSET,
#elif NV_CASE == 5
    GENERATE_OFFSET(ResultType::String),
    HEX_BYTE_2_BIN_BITS(ParamType::String),
#else
    GENERATE_OFFSET(ResultType::String),
    HEX_BYTE_2_BIN_BITS(ParamType::String),
    GENERATE_LONG_OFFSET,
#endif
};

[[maybe_unused]] constexpr ClassContract kContract = contractOf<TABLE, _HexFunctionsVtbl>(
    {"HexOperations", LIBID_HexOperations, {5, 1}}, {"_HexFunctions", IID__HexFunctions, {1, 0}},
    {"_HexFunctions2", IID__HexFunctions2, {1, 0}}, {"HexFunctions", CLSID_HexFunctions, {1, 0}},
    kMethods);

} // namespace
