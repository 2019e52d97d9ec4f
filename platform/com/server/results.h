// Handing a method's string result to the caller.
#pragma once

#include "com/bstr.h"

#include <string_view>

namespace nv::com::server {

// Stores a new string in *out (already nulled by the slot); a string that
// cannot be allocated leaves *out null and reports E_OUTOFMEMORY.
inline HRESULT returnString(std::u16string_view text, BSTR *out)
{
    BSTR s = allocString(text);
    if (!s)
        return E_OUTOFMEMORY;
    *out = s;
    return S_OK;
}

} // namespace nv::com::server
