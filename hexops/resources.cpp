// Resources of nvdigits10: version block, interface identifier and type
// library, kept in the module file's ".nvres" section.
#include "HexFunctions_i.h"

#include "com/resourcedata.h"

namespace {

using namespace nv::com;
using namespace nv::com::server;

constexpr auto kVersion = textBlock("FileVersion=1.00.0001\0"
                                    "ProductVersion=1.00.0001\0"
                                    "Comments=Provides essential hexadecimal operations for the "
                                    "Norvale program\0"
                                    "CompanyName=Quenby!\0"
                                    "ProductName=nvdigits10\0"
                                    "InternalName=nvdigits10\0"
                                    "OriginalFilename=nvdigits10.dll\0"
                                    "OLESelfRegister=\0"
                                    "FixedFileVersion=1.0.0.1\0"
                                    "FixedProductVersion=1.0.0.1\0");

constexpr auto kIid = iidBlock(IID__HexFunctions);

// The type library as text, one declaration a line (format in resourcedata.h).
constexpr auto kTypeLib = textBlock(
    "NVTYPELIB 1\n"
    "library HexOperations {94512CCC-8FFE-11D4-A04F-00E0296E03A7} 5.0 lcid 0409\n"
    "importlib stdole2.tlb 2.0\n"
    "interface _HexFunctions {FA6EC2E3-9F19-42EA-BD0E-CB8F7CF1C83E} 1.0 base IDispatch flags "
    "hidden,dual,nonextensible,oleautomation,dispatchable\n"
    "method GenerateOffset id 0x60030000 slot 7\n"
    "param lngFirstByte I4 in\n"
    "param intLine I2 in\n"
    "param result BSTR* out,retval\n"
    "method HexByte2BinBits id 0x60030001 slot 8\n"
    "param strHexNum BSTR in\n"
    "param result BSTR* out,retval\n"
    "coclass HexFunctions {94512CCE-8FFE-11D4-A04F-00E0296E03A7} 1.0 flags creatable default "
    "_HexFunctions\n");

NV_RESOURCE_SECTION constexpr auto kVersionRecord =
    makeResource("VERSION", 1, kLangUsEnglish, kCodePageUnicode, kVersion.data);
NV_RESOURCE_SECTION constexpr auto kIidRecord =
    makeResource("_IID_HEXFUNCTIONS", 1, kLangNeutral, 0, kIid.data);
NV_RESOURCE_SECTION constexpr auto kTypeLibRecord =
    makeResource("TYPELIB", 1, kLangNeutral, 0, kTypeLib.data);

} // namespace
