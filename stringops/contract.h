// The Strings class as one table, from which its dispatch and its type
// library are built; checked at compile time against Strings_i.h.
#pragma once

#include "stringops/Strings_i.h"

#include "platform/com/server/classinfo.h"

namespace nv::com::server {

inline constexpr MethodInfo kStringsMethods[] = {
    {7,
     NV_SLOT(_StringsVtbl, CombineChars),
     DISPID_Strings_CombineChars,
     ResultType::String,
     {{"strChrArray", ParamType::StringArrayRef}, {"intLine", ParamType::I2}}},
    {8,
     NV_SLOT(_StringsVtbl, Convert_To_HexStr),
     DISPID_Strings_Convert_To_HexStr,
     ResultType::Boolean,
     {{"bytArrayIn", ParamType::ByteArrayRef}, {"strHexArrayOut", ParamType::StringArrayRef}}},
    {9,
     NV_SLOT(_StringsVtbl, Convert_To_ChrStr),
     DISPID_Strings_Convert_To_ChrStr,
     ResultType::Boolean,
     {{"bytArrayIn", ParamType::ByteArrayRef}, {"strChrArrayOut", ParamType::StringArrayRef}}},
    {10,
     NV_SLOT(_StringsVtbl, InsertChar),
     DISPID_Strings_InsertChar,
     ResultType::String,
     {{"Char", ParamType::String}, {"Into", ParamType::String}, {"Position", ParamType::I4}}},
    {11,
     NV_SLOT(_StringsVtbl, HexStr),
     DISPID_Strings_HexStr,
     ResultType::String,
     {{"bytByteIn", ParamType::ByteRef}}},
};

inline constexpr ClassContract kStrings = contractOf<_StringsVtbl>(
    {"StringOperations", LIBID_StringOperations, {7, 0}}, {"_Strings", IID__Strings, {1, 0}},
    {"Strings", CLSID_Strings, {1, 0}}, kStringsMethods);

} // namespace nv::com::server
