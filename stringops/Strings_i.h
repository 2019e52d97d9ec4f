// Client interface of the Strings class (module nvtext12.so): its
// identifiers, dispatch ids and the table of slots of _Strings. A client
// needs only this header and platform/com/comtypes.h; nothing is linked.
#pragma once

#include "com/comtypes.h"

// StringOperations type library, version 7.0: {D379EA6B-8FFC-11D4-A04F-00E0296E03A7}
constexpr GUID LIBID_StringOperations = {
    0xD379EA6B, 0x8FFC, 0x11D4, {0xA0, 0x4F, 0x00, 0xE0, 0x29, 0x6E, 0x03, 0xA7}};
// Strings: {D379EA6D-8FFC-11D4-A04F-00E0296E03A7}
constexpr GUID CLSID_Strings = {
    0xD379EA6D, 0x8FFC, 0x11D4, {0xA0, 0x4F, 0x00, 0xE0, 0x29, 0x6E, 0x03, 0xA7}};
// _Strings: {43B08CB3-3320-4751-81CE-B51BBF5A6487}
constexpr GUID IID__Strings = {
    0x43B08CB3, 0x3320, 0x4751, {0x81, 0xCE, 0xB5, 0x1B, 0xBF, 0x5A, 0x64, 0x87}};

constexpr DISPID DISPID_Strings_CombineChars = 0x60030000;
constexpr DISPID DISPID_Strings_Convert_To_HexStr = 0x60030001;
constexpr DISPID DISPID_Strings_Convert_To_ChrStr = 0x60030002;
constexpr DISPID DISPID_Strings_InsertChar = 0x60030003;
constexpr DISPID DISPID_Strings_HexStr = 0x60030004;

// Page tables cross as two-dimensional safe arrays indexed (line, column)
// with the line varying fastest; rgsabound[0] is the column dimension and
// rgsabound[1] the line dimension.
struct _Strings;
struct _StringsVtbl
{
    NV_IDISPATCH_SLOTS(_Strings)
    // Slot 7: the 16 strings of one line joined.
    HRESULT (*CombineChars)(_Strings *self, SAFEARRAY **strChrArray, int16_t intLine, BSTR *result);
    // Slot 8: every byte of the page as two hexadecimal digits.
    HRESULT (*Convert_To_HexStr)
    (_Strings *self, SAFEARRAY **bytArrayIn, SAFEARRAY **strHexArrayOut, VARIANT_BOOL *result);
    // Slot 9: every byte of the page as one display character.
    HRESULT (*Convert_To_ChrStr)
    (_Strings *self, SAFEARRAY **bytArrayIn, SAFEARRAY **strChrArrayOut, VARIANT_BOOL *result);
    // Slot 10: Char inserted into Into before the 1-based Position.
    HRESULT (*InsertChar)(_Strings *self, BSTR Char, BSTR Into, int32_t Position, BSTR *result);
    // Slot 11: one byte as two hexadecimal digits.
    HRESULT (*HexStr)(_Strings *self, uint8_t *bytByteIn, BSTR *result);
};
struct _Strings
{
    const _StringsVtbl *lpVtbl;
};
