// The frame every method slot shares: a null result pointer is refused, the
// result is set to null (False) before the body runs so that a failure
// leaves it so, and the body runs behind the exception barrier.
#pragma once

#include "platform/com/server/guard.h"

#include "platform/com/bstr.h"

#include <string_view>

namespace nv::com::server {

// Stores a new string in *out; a string that cannot be allocated leaves *out
// as it was and reports E_OUTOFMEMORY.
inline HRESULT returnString(std::u16string_view text, BSTR *out)
{
    BSTR s = allocString(text);
    if (!s)
        return E_OUTOFMEMORY;
    *out = s;
    return S_OK;
}

// A result the body built in a string of its own, handed over as it is.
inline HRESULT returnString(BStr s, BSTR *out)
{
    if (!s.get())
        return E_OUTOFMEMORY;
    *out = s.release();
    return S_OK;
}

// `text()` makes the string result, which the caller then owns.
template <class F> HRESULT stringResult(BSTR *result, F &&text) noexcept
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return guarded([&] { return returnString(text(), result); });
}

// For the methods whose Boolean result is False on every call that completes.
template <class F> HRESULT falseResult(VARIANT_BOOL *result, F &&body) noexcept
{
    if (!result)
        return E_POINTER;
    *result = VARIANT_FALSE;
    return guarded([&] {
        body();
        return S_OK;
    });
}

} // namespace nv::com::server
