// What the shared server code needs to know about a module's class: its
// identity, its table of slots, and how dispatch reaches each method.
#pragma once

#include "com/comtypes.h"

#include <cstddef>

namespace nv::com::server {

constexpr uint32_t kMaxParams = 4;

struct MethodInfo
{
    const char *name;
    DISPID dispid;
    uint32_t paramCount;
    // Declared variant type of each parameter in declaration order; a
    // by-reference parameter is VT_BYREF | its base type.
    uint16_t paramTypes[kMaxParams];
    const char *paramNames[kMaxParams];
    uint16_t resultType; // VT_BSTR or VT_BOOL
    // Calls the slot. `args` are the checked arguments in declaration order;
    // the method stores its result in the matching member of `result`.
    HRESULT (*call)(void *self, VARIANT *const *args, VARIANT *result);
};

struct ClassInfo
{
    GUID clsid;
    GUID iid;
    GUID libid;
    const char *className;      // "HexFunctions"
    const char *interfaceName;  // "_HexFunctions"
    const char *progId;         // "HexOperations.HexFunctions"
    const char *libraryName;    // "HexOperations"
    const char *libraryVersion; // "5.0"
    const void *vtable;         // the class interface's table of slots
    const MethodInfo *methods;
    size_t methodCount;
};

} // namespace nv::com::server
