// Integer arithmetic that traps overflow, as the program's arithmetic does:
// a result outside the type's range raises run-time error 6.
#pragma once

#include "platform/runtime/error.h"

namespace nv {

// A sum in the width of its arguments, both of one type: a call that mixes
// int64_t with int does not compile, so the width is never chosen by accident.
template <class T> T checkedAdd(T a, T b)
{
    T r;
    if (__builtin_add_overflow(a, b, &r))
        raise(err::Overflow);
    return r;
}

} // namespace nv
