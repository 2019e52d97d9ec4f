// Resources of nvtext12: version block, interface identifier and type
// library, kept in the module file's ".nvres" section.
#include "Strings_i.h"

#include "com/resourcedata.h"

namespace {

using namespace nv::com;
using namespace nv::com::server;

constexpr auto kVersion = textBlock("FileVersion=1.00.0006\0"
                                    "ProductVersion=1.00.0006\0"
                                    "Comments=Provides essential string operations for the "
                                    "Norvale application\0"
                                    "CompanyName=Quenby!\0"
                                    "ProductName=nvtext10\0"
                                    "InternalName=nvtext12\0"
                                    "OriginalFilename=nvtext12.dll\0"
                                    "OLESelfRegister=\0"
                                    "FixedFileVersion=1.0.0.6\0"
                                    "FixedProductVersion=1.0.0.6\0");

constexpr auto kIid = iidBlock(IID__Strings);

// The type library as text, one declaration a line (format in resourcedata.h).
constexpr auto kTypeLib =
    textBlock("NVTYPELIB 1\n"
              "library StringOperations {D379EA6B-8FFC-11D4-A04F-00E0296E03A7} 7.0 lcid 0409\n"
              "importlib stdole2.tlb 2.0\n"
              "interface _Strings {43B08CB3-3320-4751-81CE-B51BBF5A6487} 1.0 base IDispatch flags "
              "hidden,dual,nonextensible,oleautomation,dispatchable\n"
              "method CombineChars id 0x60030000 slot 7\n"
              "param strChrArray SAFEARRAY(BSTR)* in,out\n"
              "param intLine I2 in\n"
              "param result BSTR* out,retval\n"
              "method Convert_To_HexStr id 0x60030001 slot 8\n"
              "param bytArrayIn SAFEARRAY(UI1)* in,out\n"
              "param strHexArrayOut SAFEARRAY(BSTR)* in,out\n"
              "param result VARIANT_BOOL* out,retval\n"
              "method Convert_To_ChrStr id 0x60030002 slot 9\n"
              "param bytArrayIn SAFEARRAY(UI1)* in,out\n"
              "param strChrArrayOut SAFEARRAY(BSTR)* in,out\n"
              "param result VARIANT_BOOL* out,retval\n"
              "method InsertChar id 0x60030003 slot 10\n"
              "param Char BSTR in\n"
              "param Into BSTR in\n"
              "param Position I4 in\n"
              "param result BSTR* out,retval\n"
              "method HexStr id 0x60030004 slot 11\n"
              "param bytByteIn UI1* in,out\n"
              "param result BSTR* out,retval\n"
              "coclass Strings {D379EA6D-8FFC-11D4-A04F-00E0296E03A7} 1.0 flags creatable default "
              "_Strings\n");

NV_RESOURCE_SECTION constexpr auto kVersionRecord =
    makeResource("VERSION", 1, kLangUsEnglish, kCodePageUnicode, kVersion.data);
NV_RESOURCE_SECTION constexpr auto kIidRecord =
    makeResource("_IID_STRINGS", 1, kLangNeutral, 0, kIid.data);
NV_RESOURCE_SECTION constexpr auto kTypeLibRecord =
    makeResource("TYPELIB", 1, kLangNeutral, 0, kTypeLib.data);

} // namespace
