// The resources in the module files, read from the ".nvres" section of the
// file's bytes, and the identifiers of the interface headers. Every byte an
// outside client sees is pinned here as literal text, independent of the
// code that builds it.
#include "tests/components/client.h"

#include "hexops/HexFunctions_i.h"
#include "platform/com/guid.h"
#include "platform/com/resources/resource.h"
#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

using namespace nvtest::com;
using namespace std::string_view_literals;

namespace {

struct Record
{
    nv::com::ResourceHeader header;
    std::string data;
    std::string type() const { return std::string(header.type, strnlen(header.type, 32)); }
};

// Walks the section as a reader must: header to header, data padded to 8
// bytes with zeros, and whole zero words of linker padding between records.
std::vector<Record> records(const std::string &file)
{
    const auto bytes = readSection(file, ".nvres");
    const unsigned char zero[8] = {};
    std::vector<Record> out;
    size_t at = 0;
    while (at + sizeof(nv::com::ResourceHeader) <= bytes.size()) {
        Record r;
        std::memcpy(&r.header, bytes.data() + at, sizeof r.header);
        if (std::memcmp(r.header.magic, nv::com::kResourceMagic, 4) != 0) {
            EXPECT_EQ(std::memcmp(bytes.data() + at, zero, 8), 0) << "stray bytes at " << at;
            at += 8; // linker padding
            continue;
        }
        at += sizeof r.header;
        const size_t padded = nv::com::roundUp8(r.header.size);
        EXPECT_LE(at + padded, bytes.size());
        if (at + padded > bytes.size())
            break;
        r.data.assign(reinterpret_cast<const char *>(bytes.data()) + at, r.header.size);
        EXPECT_EQ(std::memcmp(bytes.data() + at + r.header.size, zero, padded - r.header.size), 0)
            << r.type() << " padding";
        at += padded;
        out.push_back(r);
    }
    return out;
}

const Record *find(const std::vector<Record> &all, const std::string &type)
{
    for (const auto &r : all)
        if (r.type() == type)
            return &r;
    return nullptr;
}

constexpr std::string_view kHexIid = "\x10\x00\x00\x00"
                                     "\xE3\xC2\x6E\xFA\x19\x9F\xEA\x42"
                                     "\xBD\x0E\xCB\x8F\x7C\xF1\xC8\x3E"sv;

constexpr std::string_view kHexTypeLib =
    "NVTYPELIB 1\n"
    "library HexOperations {94512CCC-8FFE-11D4-A04F-00E0296E03A7} 5.1 lcid 0409\n"
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
    "interface _HexFunctions2 {501505FF-D92D-4206-9855-FE26CED6620F} 1.0 base _HexFunctions flags "
    "hidden,dual,nonextensible,oleautomation,dispatchable\n"
    "method GenerateLongOffset id 0x60030002 slot 9\n"
    "param llFirstByte I8 in\n"
    "param intLine I2 in\n"
    "param intDigits I2 in\n"
    "param result BSTR* out,retval\n"
    "coclass HexFunctions {94512CCE-8FFE-11D4-A04F-00E0296E03A7} 1.0 flags creatable default "
    "_HexFunctions2\n"sv;

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
    const char *iidType;
    std::vector<std::pair<std::string, std::string>> version; // in file order
    std::string_view iidBytes;
    std::string_view typeLib;
};

const ModuleCase kModules[] = {
    {"nvdigits10",
     NV_HEXOPS_MODULE,
     "_IID_HEXFUNCTIONS",
     {{"FileVersion", "1.00.0001"},
      {"ProductVersion", "1.00.0001"},
      {"Comments", "Provides essential hexadecimal operations for the Norvale program"},
      {"CompanyName", "Quenby!"},
      {"ProductName", "nvdigits10"},
      {"InternalName", "nvdigits10"},
      {"OriginalFilename", "nvdigits10.dll"},
      {"OLESelfRegister", ""},
      {"FixedFileVersion", "1.0.0.1"},
      {"FixedProductVersion", "1.0.0.1"}},
     kHexIid,
     kHexTypeLib},
    {"nvtext12",
     NV_STRINGOPS_MODULE,
     "_IID_STRINGS",
     {{"FileVersion", "1.00.0006"},
      {"ProductVersion", "1.00.0006"},
      {"Comments", "Provides essential string operations for the Norvale application"},
      {"CompanyName", "Quenby!"},
      {"ProductName", "nvtext10"},
      {"InternalName", "nvtext12"},
      {"OriginalFilename", "nvtext12.dll"},
      {"OLESelfRegister", ""},
      {"FixedFileVersion", "1.0.0.6"},
      {"FixedProductVersion", "1.0.0.6"}},
     kStringsIid,
     kStringsTypeLib},
};

void PrintTo(const ModuleCase &c, std::ostream *os)
{
    *os << c.name;
}

class Resources : public testing::TestWithParam<ModuleCase>
{
protected:
    // The module's record of `type`, checked to have id 1 and the language
    // and code page given.
    std::optional<Record> record(const std::string &type, uint16_t lang, uint16_t codepage = 0)
    {
        const auto all = records(GetParam().file);
        const Record *r = find(all, type);
        EXPECT_NE(r, nullptr) << type;
        if (!r)
            return std::nullopt;
        EXPECT_EQ(r->header.id, 1u) << type;
        EXPECT_EQ(r->header.lang, lang) << type;
        EXPECT_EQ(r->header.codepage, codepage) << type;
        return *r;
    }
};

TEST_P(Resources, VersionBlock)
{
    const auto v = record("VERSION", 0x0409, 1200);
    ASSERT_TRUE(v);
    // Byte for byte: "Key=Value" entries, each ended by a NUL, in this order.
    std::string bytes;
    for (const auto &[key, value] : GetParam().version)
        bytes += key + "=" + value + '\0';
    EXPECT_EQ(v->data, bytes);
}

TEST_P(Resources, InterfaceIdentifierRecord)
{
    const auto r = record(GetParam().iidType, 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data, GetParam().iidBytes);
}

TEST_P(Resources, TypeLibraryDescribesTheDispatchOfTheClass)
{
    const auto t = record("TYPELIB", 0);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->data, GetParam().typeLib);
}

// The record order is the linker's; each type is there once, and no other.
TEST_P(Resources, EachRecordOnceAndNoOther)
{
    std::vector<std::string> types;
    for (const Record &r : records(GetParam().file)) {
        types.push_back(r.type());
        // The type name is NUL-padded to its full 32 bytes.
        EXPECT_EQ(std::string(r.header.type, sizeof r.header.type),
                  r.type() + std::string(sizeof r.header.type - r.type().size(), '\0'));
    }
    std::sort(types.begin(), types.end());
    std::vector<std::string> expected = {"TYPELIB", "VERSION", GetParam().iidType};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(types, expected);
}

INSTANTIATE_TEST_SUITE_P(BothModules, Resources, testing::ValuesIn(kModules),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(InterfaceHeaders, HoldTheseIdentifiers)
{
    const struct
    {
        GUID id;
        const char *text;
    } guids[] = {
        {LIBID_HexOperations, "{94512CCC-8FFE-11D4-A04F-00E0296E03A7}"},
        {CLSID_HexFunctions, "{94512CCE-8FFE-11D4-A04F-00E0296E03A7}"},
        {IID__HexFunctions, "{FA6EC2E3-9F19-42EA-BD0E-CB8F7CF1C83E}"},
        {IID__HexFunctions2, "{501505FF-D92D-4206-9855-FE26CED6620F}"},
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
        {DISPID_HexFunctions_GenerateLongOffset, 0x60030002},
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
TEST(InterfaceHeaders, SlotsSitWhereAClientLooksForThem)
{
    const struct
    {
        const char *name;
        size_t offset;
        size_t slot;
    } slots[] = {
        {"GenerateOffset", offsetof(_HexFunctionsVtbl, GenerateOffset), 7},
        {"HexByte2BinBits", offsetof(_HexFunctionsVtbl, HexByte2BinBits), 8},
        {"GenerateLongOffset", offsetof(_HexFunctions2Vtbl, GenerateLongOffset), 9},
        {"CombineChars", offsetof(_StringsVtbl, CombineChars), 7},
        {"Convert_To_HexStr", offsetof(_StringsVtbl, Convert_To_HexStr), 8},
        {"Convert_To_ChrStr", offsetof(_StringsVtbl, Convert_To_ChrStr), 9},
        {"InsertChar", offsetof(_StringsVtbl, InsertChar), 10},
        {"HexStr", offsetof(_StringsVtbl, HexStr), 11},
    };
    for (const auto &s : slots)
        EXPECT_EQ(s.offset, s.slot * 8) << s.name;
    EXPECT_EQ(sizeof(_HexFunctionsVtbl), 9 * 8u);
    EXPECT_EQ(sizeof(_HexFunctions2Vtbl), 10 * 8u);
    EXPECT_EQ(sizeof(_StringsVtbl), 12 * 8u);
}

} // namespace
