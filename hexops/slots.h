// The slots of _HexFunctions as functions of any interface whose table
// begins with its slots: the module's own table, _HexFunctions2's, and the
// tests' stand-in for an install older than it, _HexFunctions's alone.
#pragma once

#include "hexops/hexfunctions.h"

#include "platform/com/bstr.h"
#include "platform/com/server/results.h"

namespace nv::hexops {

template <class Self>
HRESULT generateOffsetSlot(Self *, int32_t lngFirstByte, int16_t intLine, BSTR *result)
{
    return nv::com::server::stringResult(result, [&] {
        const OffsetLabel label = generateOffset(lngFirstByte, intLine);
        return nv::com::BStr(std::u16string_view(label.data(), label.size()));
    });
}

template <class Self> HRESULT hexByte2BinBitsSlot(Self *, BSTR strHexNum, BSTR *result)
{
    return nv::com::server::stringResult(result,
                                         [&] { return hexByte2BinBits(nv::com::view(strHexNum)); });
}

} // namespace nv::hexops
