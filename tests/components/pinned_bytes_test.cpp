// The exact bytes an outside client sees: every resource record of both
// module files, in file order, and the identifiers of the interface headers.
// Nothing here is derived from the code under test; a change to any byte of
// the binary contract must show up as a failure here first.
#include "client.h"

#include "com/guid.h"
#include "com/resource.h"
#include "hexops/HexFunctions_i.h"
#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string_view>

using namespace std::string_view_literals;
using namespace nvtest::com;

namespace {

struct Pinned
{
    std::string_view type;
    uint32_t id;
    uint16_t lang;
    uint16_t codepage;
    std::string_view data;
};

constexpr std::string_view kHexVersion = "FileVersion=1.00.0001\0"
                                         "ProductVersion=1.00.0001\0"
                                         "Comments=Provides essential hexadecimal operations for "
                                         "the Norvale program\0"
                                         "CompanyName=Quenby!\0"
                                         "ProductName=nvdigits10\0"
                                         "InternalName=nvdigits10\0"
                                         "OriginalFilename=nvdigits10.dll\0"
                                         "OLESelfRegister=\0"
                                         "FixedFileVersion=1.0.0.1\0"
                                         "FixedProductVersion=1.0.0.1\0"sv;

constexpr std::string_view kHexIid = "\x10\x00\x00\x00"
                                     "\xE3\xC2\x6E\xFA\x19\x9F\xEA\x42"
                                     "\xBD\x0E\xCB\x8F\x7C\xF1\xC8\x3E"sv;

constexpr std::string_view kHexTypeLib =
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
    "_HexFunctions\n"sv;

constexpr std::string_view kStringsVersion = "FileVersion=1.00.0006\0"
                                             "ProductVersion=1.00.0006\0"
                                             "Comments=Provides essential string operations for "
                                             "the Norvale application\0"
                                             "CompanyName=Quenby!\0"
                                             "ProductName=nvtext10\0"
                                             "InternalName=nvtext12\0"
                                             "OriginalFilename=nvtext12.dll\0"
                                             "OLESelfRegister=\0"
                                             "FixedFileVersion=1.0.0.6\0"
                                             "FixedProductVersion=1.0.0.6\0"sv;

constexpr std::string_view kStringsIid = "\x10\x00\x00\x00"
                                         "\xB3\x8C\xB0\x43\x20\x33\x51\x47"
                                         "\x81\xCE\xB5\x1B\xBF\x5A\x64\x87"sv;

constexpr std::string_view kStringsTypeLib =
    "NVTYPELIB 1\n"
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
    "_Strings\n"sv;

struct ModuleCase
{
    const char *name;
    const char *file;
    std::vector<Pinned> records;
};

const ModuleCase kModules[] = {
    {"nvdigits10",
     NV_HEXOPS_MODULE,
     {{"VERSION", 1, 0x0409, 1200, kHexVersion},
      {"_IID_HEXFUNCTIONS", 1, 0, 0, kHexIid},
      {"TYPELIB", 1, 0, 0, kHexTypeLib}}},
    {"nvtext12",
     NV_STRINGOPS_MODULE,
     {{"VERSION", 1, 0x0409, 1200, kStringsVersion},
      {"_IID_STRINGS", 1, 0, 0, kStringsIid},
      {"TYPELIB", 1, 0, 0, kStringsTypeLib}}},
};

class PinnedResources : public testing::TestWithParam<ModuleCase>
{
};

// Walks the section as a reader must: header to header, data padded to 8
// bytes, and whole zero words of linker padding between records. The order
// of the records is the linker's; each type must be there once.
TEST_P(PinnedResources, SectionHoldsExactlyTheseRecords)
{
    const auto bytes = readSection(GetParam().file, ".nvres");
    std::map<std::string, std::pair<nv::com::ResourceHeader, std::string>> found;
    size_t at = 0;
    while (at + sizeof(nv::com::ResourceHeader) <= bytes.size()) {
        nv::com::ResourceHeader h;
        std::memcpy(&h, bytes.data() + at, sizeof h);
        if (std::memcmp(h.magic, nv::com::kResourceMagic, 4) != 0) {
            const unsigned char zero[8] = {};
            ASSERT_EQ(std::memcmp(bytes.data() + at, zero, 8), 0) << "stray bytes at " << at;
            at += 8;
            continue;
        }
        at += sizeof h;
        ASSERT_LE(at + nv::com::roundUp8(h.size), bytes.size());
        const std::string type(h.type, sizeof h.type);
        EXPECT_EQ(found.count(type), 0u) << "twice: " << type;
        found[type] = {h, std::string(reinterpret_cast<const char *>(bytes.data()) + at, h.size)};
        for (size_t pad = at + h.size; pad < at + nv::com::roundUp8(h.size); ++pad)
            EXPECT_EQ(bytes[pad], 0) << type << " padding";
        at += nv::com::roundUp8(h.size);
    }

    EXPECT_EQ(found.size(), GetParam().records.size());
    for (const Pinned &want : GetParam().records) {
        // The type name is NUL-padded to its full 32 bytes.
        std::string type(want.type);
        type.resize(sizeof(nv::com::ResourceHeader::type), '\0');
        const auto it = found.find(type);
        ASSERT_NE(it, found.end()) << want.type;
        const auto &[h, data] = it->second;
        EXPECT_EQ(h.id, want.id) << want.type;
        EXPECT_EQ(h.lang, want.lang) << want.type;
        EXPECT_EQ(h.codepage, want.codepage) << want.type;
        EXPECT_EQ(h.size, want.data.size()) << want.type;
        EXPECT_EQ(data, want.data) << want.type;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModules, PinnedResources, testing::ValuesIn(kModules),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PinnedIdentifiers, InterfaceHeadersHoldTheseValues)
{
    const struct
    {
        GUID id;
        const char *text;
    } guids[] = {
        {LIBID_HexOperations, "{94512CCC-8FFE-11D4-A04F-00E0296E03A7}"},
        {CLSID_HexFunctions, "{94512CCE-8FFE-11D4-A04F-00E0296E03A7}"},
        {IID__HexFunctions, "{FA6EC2E3-9F19-42EA-BD0E-CB8F7CF1C83E}"},
        {LIBID_StringOperations, "{D379EA6B-8FFC-11D4-A04F-00E0296E03A7}"},
        {CLSID_Strings, "{D379EA6D-8FFC-11D4-A04F-00E0296E03A7}"},
        {IID__Strings, "{43B08CB3-3320-4751-81CE-B51BBF5A6487}"},
    };
    for (const auto &g : guids)
        EXPECT_EQ(nv::com::guidToString(g.id), g.text);

    const struct
    {
        DISPID id;
        uint32_t value;
    } dispids[] = {
        {DISPID_HexFunctions_GenerateOffset, 0x60030000},
        {DISPID_HexFunctions_HexByte2BinBits, 0x60030001},
        {DISPID_Strings_CombineChars, 0x60030000},
        {DISPID_Strings_Convert_To_HexStr, 0x60030001},
        {DISPID_Strings_Convert_To_ChrStr, 0x60030002},
        {DISPID_Strings_InsertChar, 0x60030003},
        {DISPID_Strings_HexStr, 0x60030004},
    };
    for (const auto &d : dispids)
        EXPECT_EQ(uint32_t(d.id), d.value);
}

// Slot n of a class table is the n-th pointer of it, as a client indexes it.
TEST(PinnedIdentifiers, SlotsSitWhereAClientLooksForThem)
{
    const struct
    {
        const char *name;
        size_t offset;
        size_t slot;
    } slots[] = {
        {"GenerateOffset", offsetof(_HexFunctionsVtbl, GenerateOffset), 7},
        {"HexByte2BinBits", offsetof(_HexFunctionsVtbl, HexByte2BinBits), 8},
        {"CombineChars", offsetof(_StringsVtbl, CombineChars), 7},
        {"Convert_To_HexStr", offsetof(_StringsVtbl, Convert_To_HexStr), 8},
        {"Convert_To_ChrStr", offsetof(_StringsVtbl, Convert_To_ChrStr), 9},
        {"InsertChar", offsetof(_StringsVtbl, InsertChar), 10},
        {"HexStr", offsetof(_StringsVtbl, HexStr), 11},
    };
    for (const auto &s : slots)
        EXPECT_EQ(s.offset, s.slot * 8) << s.name;
    EXPECT_EQ(sizeof(_HexFunctionsVtbl), 9 * 8u);
    EXPECT_EQ(sizeof(_StringsVtbl), 12 * 8u);
}

} // namespace
