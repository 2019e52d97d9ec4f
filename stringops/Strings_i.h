// Client interface of the Strings class (module nvtext12.so): its
// identifiers, dispatch ids and the table of slots of _Strings. A client
// needs only this header and platform/com/comtypes.h; nothing is linked.
//
// Ownership across the boundary:
//   - Strings passed in (Char, Into) stay the caller's; a method neither keeps
//     nor frees them.
//   - A string result is a new string that the caller owns and frees
//     (SysFreeString, or free() of its length prefix).
//   - The caller owns the arrays (descriptor and data, malloc'd) and keeps
//     them alive across the call. A method never resizes, replaces or frees
//     an array. The byte arrays, strChrArray of CombineChars and bytByteIn
//     are only read, although passed by reference.
//   - An output array (strHexArrayOut, strChrArrayOut) is filled in place:
//     each element written has its old string freed and holds a new string
//     owned by the array, that is by the caller.
//   - A failing method returns a failure status and leaves *result null
//     (strings) or False (Booleans). The elements of an output array written
//     before the failing one keep their new strings; the failing one and
//     those after it keep their old ones.
#pragma once

#include "platform/com/comtypes.h"

// StringOperations type library, version 7.0; the class; its interface.
constexpr GUID LIBID_StringOperations = makeGuid("{D379EA6B-8FFC-11D4-A04F-00E0296E03A7}");
constexpr GUID CLSID_Strings = makeGuid("{D379EA6D-8FFC-11D4-A04F-00E0296E03A7}");
constexpr GUID IID__Strings = makeGuid("{43B08CB3-3320-4751-81CE-B51BBF5A6487}");

constexpr DISPID DISPID_Strings_CombineChars = 0x60030000;
constexpr DISPID DISPID_Strings_Convert_To_HexStr = 0x60030001;
constexpr DISPID DISPID_Strings_Convert_To_ChrStr = 0x60030002;
constexpr DISPID DISPID_Strings_InsertChar = 0x60030003;
constexpr DISPID DISPID_Strings_HexStr = 0x60030004;

// Page tables cross as two-dimensional safe arrays indexed (line, column)
// with the line varying fastest; rgsabound[0] is the column dimension and
// rgsabound[1] the line dimension. A string element is a BSTR, null (read as
// empty) until something is stored in it.
struct _Strings;
struct _StringsVtbl
{
    NV_IDISPATCH_SLOTS(_Strings)
    // Slot 7: the 16 strings of one line joined.
    HRESULT (*CombineChars)(_Strings *self, SAFEARRAY **strChrArray, int16_t intLine, BSTR *result);
    // Slot 8: every byte of the page as two hexadecimal digits. *result is
    // False on every call that completes.
    HRESULT (*Convert_To_HexStr)
    (_Strings *self, SAFEARRAY **bytArrayIn, SAFEARRAY **strHexArrayOut, VARIANT_BOOL *result);
    // Slot 9: every byte of the page as one display character; False, too.
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
