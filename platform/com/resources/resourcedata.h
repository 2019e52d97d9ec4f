// Compile-time building blocks for a module's resource records.
#pragma once

#include "platform/com/comtypes.h"
#include "platform/com/resources/resource.h"

#include <cstddef>

namespace nv::com::server {

template <size_t N> struct ByteBlock
{
    unsigned char data[N];
};

// The bytes of a string literal without its final terminator. Version
// blocks and type library texts are written as literals of NUL- or
// newline-ended entries, so the literal's own terminator is not data.
template <size_t N> constexpr ByteBlock<N - 1> textBlock(const char (&text)[N])
{
    ByteBlock<N - 1> b{};
    for (size_t i = 0; i + 1 < N; ++i)
        b.data[i] = static_cast<unsigned char>(text[i]);
    return b;
}

// An interface identifier resource: little-endian length 16, then the GUID
// in its memory order (Data1, Data2, Data3 little-endian, then Data4).
constexpr ByteBlock<20> iidBlock(const GUID &g)
{
    ByteBlock<20> b{};
    b.data[0] = 16;
    for (int i = 0; i < 4; ++i)
        b.data[4 + i] = static_cast<unsigned char>(g.Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        b.data[8 + i] = static_cast<unsigned char>(g.Data2 >> (8 * i));
        b.data[10 + i] = static_cast<unsigned char>(g.Data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        b.data[12 + i] = g.Data4[i];
    return b;
}

// A TYPELIB record is UTF-8 text, one declaration a line, fields split by
// single spaces:
//   NVTYPELIB 1
//   library <name> <{libid}> <major.minor> lcid <hex>
//   importlib <file> <major.minor>
//   interface <name> <{iid}> <major.minor> base <name> flags <f,f,...>
//                                          (its methods follow; an interface
//                                          derived from an earlier one lists
//                                          only the methods it adds)
//   method <name> id <0xdispid> slot <n>      (its params follow)
//   param <name> <type> <in|out|in,out|out,retval>
//   coclass <name> <{clsid}> <major.minor> flags <f,...> default <interface>
// Types: I2, I4, I8, UI1, BSTR, VARIANT_BOOL, SAFEARRAY(<type>), a trailing *
// for a pointer.

constexpr uint16_t kLangNeutral = 0;
constexpr uint16_t kLangUsEnglish = 0x0409;
constexpr uint16_t kCodePageUnicode = 1200;

} // namespace nv::com::server
