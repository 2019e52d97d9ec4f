// Client interface of the HexFunctions class (module nvdigits10.so): its
// identifiers, dispatch ids and the tables of slots of _HexFunctions and of
// _HexFunctions2, which begins with the slots of _HexFunctions and adds
// GenerateLongOffset. A client needs only this header and
// platform/com/comtypes.h; nothing is linked. A module that answers
// E_NOINTERFACE for _HexFunctions2 is older and has _HexFunctions alone.
//
// Ownership across the boundary:
//   - A string passed in (strHexNum) stays the caller's; the method neither
//     keeps nor frees it.
//   - A result string is a new string that the caller owns and frees
//     (SysFreeString, or free() of its length prefix).
//   - A failing method returns a failure status and leaves *result null.
#pragma once

#include "platform/com/comtypes.h"

// HexOperations type library, version 5.1 (it answers 5.0 too); the class;
// its interfaces.
constexpr GUID LIBID_HexOperations = makeGuid("{94512CCC-8FFE-11D4-A04F-00E0296E03A7}");
constexpr GUID CLSID_HexFunctions = makeGuid("{94512CCE-8FFE-11D4-A04F-00E0296E03A7}");
constexpr GUID IID__HexFunctions = makeGuid("{FA6EC2E3-9F19-42EA-BD0E-CB8F7CF1C83E}");
constexpr GUID IID__HexFunctions2 = makeGuid("{501505FF-D92D-4206-9855-FE26CED6620F}");

constexpr DISPID DISPID_HexFunctions_GenerateOffset = 0x60030000;
constexpr DISPID DISPID_HexFunctions_HexByte2BinBits = 0x60030001;
constexpr DISPID DISPID_HexFunctions_GenerateLongOffset = 0x60030002;

// Slots 0-8 of _HexFunctions, typed on `Self`, so that _HexFunctions2 begins
// with exactly these members too.
//   Slot 7: the offset label of a display line, eight hexadecimal digits.
//   Slot 8: two hexadecimal digits as eight bit characters.
#define NV_HEXFUNCTIONS_SLOTS(Self)                                                                \
    NV_IDISPATCH_SLOTS(Self)                                                                       \
    HRESULT (*GenerateOffset)(Self * self, int32_t lngFirstByte, int16_t intLine, BSTR * result);  \
    HRESULT (*HexByte2BinBits)(Self * self, BSTR strHexNum, BSTR * result);

struct _HexFunctions;
struct _HexFunctionsVtbl
{
    NV_HEXFUNCTIONS_SLOTS(_HexFunctions)
};
struct _HexFunctions
{
    const _HexFunctionsVtbl *lpVtbl;
};

struct _HexFunctions2;
struct _HexFunctions2Vtbl
{
    NV_HEXFUNCTIONS_SLOTS(_HexFunctions2)
    // Slot 9: the offset label of a display line at a 64-bit position,
    // llFirstByte - 1 + 16 * intLine as intDigits (8 to 16) hexadecimal digits.
    HRESULT(*GenerateLongOffset)
    (_HexFunctions2 *self, int64_t llFirstByte, int16_t intLine, int16_t intDigits, BSTR *result);
};
struct _HexFunctions2
{
    const _HexFunctions2Vtbl *lpVtbl;
};

// A slot added to one table but not the other moves GenerateLongOffset.
static_assert(offsetof(_HexFunctions2Vtbl, GenerateLongOffset) == sizeof(_HexFunctionsVtbl),
              "_HexFunctions2 begins with the slots of _HexFunctions and then GenerateLongOffset");
