// What the compiler knows about one slot of a class interface's table: the
// C types of its parameters (so a class's table of methods can be checked
// against the interface header at compile time) and a dispatch call through
// it that unpacks checked VARIANT arguments into those C types.
#pragma once

#include "platform/com/comtypes.h"

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

namespace nv::com::server {

constexpr uint32_t kMaxParams = 4;

// The C types a slot may take after `self`; Other stands for anything the
// dispatch code cannot pass.
enum class CType : uint8_t {
    None,
    Int16,
    Int32,
    Int64,
    String,       // BSTR
    BytePointer,  // uint8_t *
    ArrayPointer, // SAFEARRAY **
    StringResult, // BSTR *
    BoolResult,   // VARIANT_BOOL *
    Other,
};

template <class T> constexpr CType cTypeOf()
{
    if constexpr (std::is_same_v<T, int16_t>)
        return CType::Int16;
    else if constexpr (std::is_same_v<T, int32_t>)
        return CType::Int32;
    else if constexpr (std::is_same_v<T, int64_t>)
        return CType::Int64;
    else if constexpr (std::is_same_v<T, BSTR>)
        return CType::String;
    else if constexpr (std::is_same_v<T, uint8_t *>)
        return CType::BytePointer;
    else if constexpr (std::is_same_v<T, SAFEARRAY **>)
        return CType::ArrayPointer;
    else if constexpr (std::is_same_v<T, BSTR *>)
        return CType::StringResult;
    else if constexpr (std::is_same_v<T, VARIANT_BOOL *>)
        return CType::BoolResult;
    else
        return CType::Other;
}

// The parameters of a slot after `self`, the result pointer last.
struct SlotSignature
{
    uint32_t count;
    CType types[kMaxParams + 1];
};

template <class Table, class Self, class... Args>
constexpr SlotSignature signatureOf(HRESULT (*Table::*)(Self *, Args...))
{
    static_assert(sizeof...(Args) <= kMaxParams + 1, "too many parameters for dispatch");
    return {uint32_t(sizeof...(Args)), {cTypeOf<Args>()...}};
}

// The VARIANT member that carries a value of C type T; dispatch has checked
// the variant type before the call.
template <class T> T argument(VARIANT &v)
{
    if constexpr (std::is_same_v<T, int16_t>)
        return v.iVal;
    else if constexpr (std::is_same_v<T, int32_t>)
        return v.lVal;
    else if constexpr (std::is_same_v<T, int64_t>)
        return v.llVal;
    else if constexpr (std::is_same_v<T, BSTR>)
        return v.bstrVal;
    else if constexpr (std::is_same_v<T, uint8_t *>)
        return v.pbVal;
    else if constexpr (std::is_same_v<T, SAFEARRAY **>)
        return v.pparray;
    else if constexpr (std::is_same_v<T, BSTR *>)
        return &v.bstrVal;
    else if constexpr (std::is_same_v<T, VARIANT_BOOL *>)
        return &v.boolVal;
    else
        static_assert(sizeof(T) == 0, "no VARIANT member for this parameter type");
}

template <class Member> struct SlotCall;

template <class Table, class Self, class... Args>
struct SlotCall<HRESULT (*Table::*)(Self *, Args...)>
{
    template <auto Member, size_t... I>
    static HRESULT call(void *p, VARIANT *const *args, VARIANT *result, std::index_sequence<I...>)
    {
        using Types = std::tuple<Args...>;
        auto *self = static_cast<Self *>(p);
        return (self->lpVtbl->*Member)(
            self, argument<std::tuple_element_t<I, Types>>(*args[I])...,
            argument<std::tuple_element_t<sizeof...(Args) - 1, Types>>(*result));
    }
};

// Calls the slot `Member` (a pointer to a member of the class's table) of the
// object `p`: the arguments in declaration order, the result into the
// matching member of `result`.
template <auto Member> HRESULT callSlot(void *p, VARIANT *const *args, VARIANT *result)
{
    using Call = SlotCall<decltype(Member)>;
    constexpr size_t inputs = signatureOf(Member).count - 1;
    return Call::template call<Member>(p, args, result, std::make_index_sequence<inputs>{});
}

} // namespace nv::com::server

// The part of a method's table entry that comes from the interface header's
// table of slots: its name, its offset and C types, and the call through it.
#define NV_SLOT(Table, Member)                                                                     \
#Member, offsetof(Table, Member), ::nv::com::server::signatureOf(&Table::Member),              \
        &::nv::com::server::callSlot < &Table::Member>
