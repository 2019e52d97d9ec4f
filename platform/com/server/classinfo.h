// A module's class as one table: its identity, and per method the slot, the
// dispatch id, the names and the automation types of its parameters. The
// dispatch code reads it at run time, the type library text is written from
// it at compile time (typelibtext.h), and contractOf() proves at compile
// time that it agrees with the table of slots of the interface header.
#pragma once

#include "platform/com/server/slot.h"

#include <cstddef>
#include <iterator>
#include <string>

namespace nv::com::server {

// Automation types of a parameter and of a result, as dispatch checks them
// and the type library names them.
enum class ParamType : uint8_t { I2, I4, I8, String, ByteRef, ByteArrayRef, StringArrayRef };
enum class ResultType : uint8_t { String, Boolean };

struct TypeTraits
{
    uint16_t variantType; // of the argument dispatch takes, or of the result it hands back
    CType cType;          // of the slot's parameter
    const char *name;     // in the type library
    const char *flags;    // in the type library
};

// Indexed by ParamType. By-reference parameters may be written through, so
// they carry both flags.
constexpr TypeTraits kParamTraits[] = {
    {VT_I2, CType::Int16, "I2", "in"},
    {VT_I4, CType::Int32, "I4", "in"},
    {VT_I8, CType::Int64, "I8", "in"},
    {VT_BSTR, CType::String, "BSTR", "in"},
    {VT_BYREF | VT_UI1, CType::BytePointer, "UI1*", "in,out"},
    {VT_BYREF | VT_ARRAY | VT_UI1, CType::ArrayPointer, "SAFEARRAY(UI1)*", "in,out"},
    {VT_BYREF | VT_ARRAY | VT_BSTR, CType::ArrayPointer, "SAFEARRAY(BSTR)*", "in,out"},
};
// Indexed by ResultType.
constexpr TypeTraits kResultTraits[] = {
    {VT_BSTR, CType::StringResult, "BSTR*", "out,retval"},
    {VT_BOOL, CType::BoolResult, "VARIANT_BOOL*", "out,retval"},
};

static_assert(std::size(kParamTraits) == size_t(ParamType::StringArrayRef) + 1);
static_assert(std::size(kResultTraits) == size_t(ResultType::Boolean) + 1);

constexpr const TypeTraits &traits(ParamType t)
{
    return kParamTraits[size_t(t)];
}
constexpr const TypeTraits &traits(ResultType t)
{
    return kResultTraits[size_t(t)];
}

struct ParamInfo
{
    const char *name;
    ParamType type;
};

struct MethodInfo
{
    uint32_t slot;
    // From NV_SLOT(Table, Member):
    const char *name;
    size_t offset;
    SlotSignature signature;
    HRESULT (*call)(void *self, VARIANT *const *args, VARIANT *result);
    // From the contract:
    DISPID dispid;
    ResultType result;
    ParamInfo params[kMaxParams];

    constexpr uint32_t paramCount() const
    {
        uint32_t n = 0;
        while (n < kMaxParams && params[n].name)
            ++n;
        return n;
    }
};

struct Version
{
    uint16_t major, minor;
};

struct Named
{
    const char *name;
    GUID id;
    Version version;
};

// The index of the first slot after the seven of IDispatch.
constexpr uint32_t kFirstMethodSlot = 7;

// A class grows the component model's way: a second dual interface derived
// from its first, with a new identifier, holds the first's slots and then
// slots of its own, and the first stays as it was for its clients.
struct ClassContract
{
    Named library;    // the type library
    Named dual;       // the class's dual interface
    Named coclass;    // the creatable class
    size_t tableSize; // sizeof the interface header's table of slots (of `derived` if any)
    const MethodInfo *methods;
    size_t methodCount;
    Named derived;          // the second interface; its name is null when there is none
    size_t dualMethodCount; // the first methods, those of `dual`; the rest are `derived`'s
};

constexpr bool hasDerived(const ClassContract &c)
{
    return c.derived.name != nullptr;
}

// The interface with all of the class's methods, the default of its coclass.
constexpr const Named &fullInterface(const ClassContract &c)
{
    return hasDerived(c) ? c.derived : c.dual;
}

// What the shared server code is handed: the contract and the module's
// table of slots for it.
struct ClassInfo
{
    const ClassContract &contract;
    const void *vtable;
};

// "HexOperations.HexFunctions": the library's and the class's names joined.
inline std::string progId(const ClassContract &c)
{
    return std::string(c.library.name) + "." + c.coclass.name;
}

// "5.0"
inline std::string versionText(Version v)
{
    return std::to_string(v.major) + "." + std::to_string(v.minor);
}

namespace detail {

// Not constexpr: reaching it during constant evaluation stops the build with
// the call, and its text, in the compiler's message.
inline void contractMismatch(const char *) {}

constexpr bool sameNameIgnoringCase(const char *a, const char *b)
{
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
    for (; *a && *b; ++a, ++b)
        if (fold(*a) != fold(*b))
            return false;
    return *a == *b;
}

} // namespace detail

// Checks at compile time that the method table matches the interface
// header: methods in slot order right after the IDispatch slots, each at the
// offset of its slot, no slot of the header left out, the parameter types
// those of the slot, dispatch ids and names (without regard to case, as
// dispatch matches them) unique.
consteval bool checkContract(const ClassContract &c)
{
    using detail::contractMismatch;
    if (c.tableSize != (kFirstMethodSlot + c.methodCount) * sizeof(void *))
        contractMismatch("the table of slots has other slots than the methods");
    if (hasDerived(c) ? c.dualMethodCount >= c.methodCount : c.dualMethodCount != c.methodCount)
        contractMismatch("the derived interface adds no slot to its base");
    for (size_t i = 0; i < c.methodCount; ++i) {
        const MethodInfo &m = c.methods[i];
        if (m.slot != kFirstMethodSlot + i)
            contractMismatch("methods are not in slot order");
        if (m.offset != m.slot * sizeof(void *))
            contractMismatch("a method's slot is not where its number says");
        const uint32_t n = m.paramCount();
        if (m.signature.count != n + 1)
            contractMismatch("a method's parameter count differs from its slot");
        for (uint32_t p = 0; p < n; ++p)
            if (traits(m.params[p].type).cType != m.signature.types[p])
                contractMismatch("a parameter type differs from its slot");
        if (traits(m.result).cType != m.signature.types[n])
            contractMismatch("a result type differs from its slot");
        for (size_t j = 0; j < i; ++j) {
            if (c.methods[j].dispid == m.dispid)
                contractMismatch("two methods share a dispatch id");
            if (detail::sameNameIgnoringCase(c.methods[j].name, m.name))
                contractMismatch("two methods share a name");
        }
    }
    return true;
}

// The contract of a class whose interface header declares `Table` as its
// table of slots; refuses to compile when checkContract() finds a mismatch.
template <class Table, size_t N>
consteval ClassContract contractOf(Named library, Named dual, Named coclass,
                                   const MethodInfo (&methods)[N])
{
    const ClassContract c{library, dual, coclass, sizeof(Table), methods, N, {}, N};
    checkContract(c);
    return c;
}

// The same for a class that also answers `derived`, whose table of slots is
// `Table` and begins with the slots of `DualTable`, the table of `dual` (its
// header proves so with NV_INHERITED_SLOT). The methods are `Table`'s.
template <class Table, class DualTable, size_t N>
consteval ClassContract contractOf(Named library, Named dual, Named derived, Named coclass,
                                   const MethodInfo (&methods)[N])
{
    const size_t dualMethods = sizeof(DualTable) / sizeof(void *) - kFirstMethodSlot;
    const ClassContract c{library, dual, coclass, sizeof(Table), methods, N, derived, dualMethods};
    checkContract(c);
    return c;
}

} // namespace nv::com::server
