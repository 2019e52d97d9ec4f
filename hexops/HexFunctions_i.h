// Client interface of the HexFunctions class (module nvdigits10.so): its
// identifiers, dispatch ids and the table of slots of _HexFunctions. A client
// needs only this header and platform/com/comtypes.h; nothing is linked.
//
// Ownership across the boundary:
//   - A string passed in (strHexNum) stays the caller's; the method neither
//     keeps nor frees it.
//   - A result string is a new string that the caller owns and frees
//     (SysFreeString, or free() of its length prefix).
//   - A failing method returns a failure status and leaves *result null.
#pragma once

#include "platform/com/comtypes.h"

// HexOperations type library, version 5.0; the class; its interface.
constexpr GUID LIBID_HexOperations = makeGuid("{94512CCC-8FFE-11D4-A04F-00E0296E03A7}");
constexpr GUID CLSID_HexFunctions = makeGuid("{94512CCE-8FFE-11D4-A04F-00E0296E03A7}");
constexpr GUID IID__HexFunctions = makeGuid("{FA6EC2E3-9F19-42EA-BD0E-CB8F7CF1C83E}");

constexpr DISPID DISPID_HexFunctions_GenerateOffset = 0x60030000;
constexpr DISPID DISPID_HexFunctions_HexByte2BinBits = 0x60030001;

struct _HexFunctions;
struct _HexFunctionsVtbl
{
    NV_IDISPATCH_SLOTS(_HexFunctions)
    // Slot 7: the offset label of a display line, eight hexadecimal digits.
    HRESULT (*GenerateOffset)
    (_HexFunctions *self, int32_t lngFirstByte, int16_t intLine, BSTR *result);
    // Slot 8: two hexadecimal digits as eight bit characters.
    HRESULT (*HexByte2BinBits)(_HexFunctions *self, BSTR strHexNum, BSTR *result);
};
struct _HexFunctions
{
    const _HexFunctionsVtbl *lpVtbl;
};
