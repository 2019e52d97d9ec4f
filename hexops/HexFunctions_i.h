// Client interface of the HexFunctions class (module nvdigits10.so): its
// identifiers, dispatch ids and the table of slots of _HexFunctions. A client
// needs only this header and platform/com/comtypes.h; nothing is linked.
#pragma once

#include "com/comtypes.h"

// HexOperations type library, version 5.0: {94512CCC-8FFE-11D4-A04F-00E0296E03A7}
constexpr GUID LIBID_HexOperations = {
    0x94512CCC, 0x8FFE, 0x11D4, {0xA0, 0x4F, 0x00, 0xE0, 0x29, 0x6E, 0x03, 0xA7}};
// HexFunctions: {94512CCE-8FFE-11D4-A04F-00E0296E03A7}
constexpr GUID CLSID_HexFunctions = {
    0x94512CCE, 0x8FFE, 0x11D4, {0xA0, 0x4F, 0x00, 0xE0, 0x29, 0x6E, 0x03, 0xA7}};
// _HexFunctions: {FA6EC2E3-9F19-42EA-BD0E-CB8F7CF1C83E}
constexpr GUID IID__HexFunctions = {
    0xFA6EC2E3, 0x9F19, 0x42EA, {0xBD, 0x0E, 0xCB, 0x8F, 0x7C, 0xF1, 0xC8, 0x3E}};

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
