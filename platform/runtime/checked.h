// Integer arithmetic that traps overflow, as the program's arithmetic does:
// a result outside the type's range raises run-time error 6.
#pragma once

#include "platform/runtime/error.h"

#include <cstdint>

namespace nv {

inline int32_t checkedAdd(int32_t a, int32_t b)
{
    int32_t r;
    if (__builtin_add_overflow(a, b, &r))
        raise(err::Overflow);
    return r;
}

// The 64-bit positions of large files. A call that mixes int64_t with int
// picks no overload and does not compile: write the constant as int64_t.
inline int64_t checkedAdd(int64_t a, int64_t b)
{
    int64_t r;
    if (__builtin_add_overflow(a, b, &r))
        raise(err::Overflow);
    return r;
}

inline int32_t checkedSub(int32_t a, int32_t b)
{
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r))
        raise(err::Overflow);
    return r;
}

inline int32_t checkedMul(int32_t a, int32_t b)
{
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r))
        raise(err::Overflow);
    return r;
}

inline int32_t checkedAbs(int32_t a)
{
    if (a == INT32_MIN)
        raise(err::Overflow);
    return a < 0 ? -a : a;
}

// Narrowing from a wider integer, e.g. a file length to a 32-bit length.
inline int32_t checkedToInt32(int64_t v)
{
    if (v < INT32_MIN || v > INT32_MAX)
        raise(err::Overflow);
    return int32_t(v);
}

} // namespace nv
