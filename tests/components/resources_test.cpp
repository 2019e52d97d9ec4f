// The resources in the module files, read from the ".nvres" section of the
// file's bytes.
#include "client.h"

#include "com/guid.h"
#include "com/resource.h"
#include "hexops/HexFunctions_i.h"
#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>

using namespace nvtest::com;

namespace {

struct Record
{
    nv::com::ResourceHeader header;
    std::string data;
    std::string type() const { return std::string(header.type, strnlen(header.type, 32)); }
};

std::vector<Record> records(const std::string &file)
{
    const auto bytes = readSection(file, ".nvres");
    std::vector<Record> out;
    size_t at = 0;
    while (at + sizeof(nv::com::ResourceHeader) <= bytes.size()) {
        Record r;
        std::memcpy(&r.header, bytes.data() + at, sizeof r.header);
        if (std::memcmp(r.header.magic, nv::com::kResourceMagic, 4) != 0) {
            at += 8; // linker padding
            continue;
        }
        at += sizeof r.header;
        EXPECT_LE(at + r.header.size, bytes.size());
        r.data.assign(reinterpret_cast<const char *>(bytes.data()) + at, r.header.size);
        at += nv::com::roundUp8(r.header.size);
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

std::map<std::string, std::string> versionEntries(const std::string &data)
{
    std::map<std::string, std::string> entries;
    size_t at = 0;
    while (at < data.size()) {
        const size_t end = data.find('\0', at);
        EXPECT_NE(end, std::string::npos) << "unterminated entry";
        const std::string entry = data.substr(at, end - at);
        const size_t eq = entry.find('=');
        EXPECT_NE(eq, std::string::npos) << entry;
        entries[entry.substr(0, eq)] = entry.substr(eq + 1);
        at = end + 1;
    }
    return entries;
}

struct ModuleCase
{
    const char *name;
    const char *file;
    const char *iidType;
    GUID iid;
    std::map<std::string, std::string> version;
    std::vector<std::pair<std::string, DISPID>> methods; // in slot order from 7
    std::string library;                                 // the library line
};

const ModuleCase kModules[] = {
    {"nvdigits10",
     NV_HEXOPS_MODULE,
     "_IID_HEXFUNCTIONS",
     IID__HexFunctions,
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
     {{"GenerateOffset", 0x60030000}, {"HexByte2BinBits", 0x60030001}},
     "library HexOperations {94512CCC-8FFE-11D4-A04F-00E0296E03A7} 5.0 lcid 0409"},
    {"nvtext12",
     NV_STRINGOPS_MODULE,
     "_IID_STRINGS",
     IID__Strings,
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
     {{"CombineChars", 0x60030000},
      {"Convert_To_HexStr", 0x60030001},
      {"Convert_To_ChrStr", 0x60030002},
      {"InsertChar", 0x60030003},
      {"HexStr", 0x60030004}},
     "library StringOperations {D379EA6B-8FFC-11D4-A04F-00E0296E03A7} 7.0 lcid 0409"},
};

class Resources : public testing::TestWithParam<ModuleCase>
{
};

TEST_P(Resources, VersionBlock)
{
    const auto all = records(GetParam().file);
    const Record *v = find(all, "VERSION");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->header.id, 1u);
    EXPECT_EQ(v->header.lang, 0x0409);
    EXPECT_EQ(v->header.codepage, 1200);
    EXPECT_EQ(versionEntries(v->data), GetParam().version);
}

TEST_P(Resources, InterfaceIdentifierRecord)
{
    const auto all = records(GetParam().file);
    const Record *r = find(all, GetParam().iidType);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->header.id, 1u);
    EXPECT_EQ(r->header.lang, 0);
    ASSERT_EQ(r->data.size(), 20u);
    uint32_t length;
    std::memcpy(&length, r->data.data(), 4);
    EXPECT_EQ(length, 16u);
    GUID stored;
    std::memcpy(&stored, r->data.data() + 4, 16); // memory order on this platform
    EXPECT_EQ(nv::com::guidToString(stored), nv::com::guidToString(GetParam().iid));
}

TEST_P(Resources, TypeLibraryDescribesTheDispatchOfTheClass)
{
    const auto all = records(GetParam().file);
    const Record *t = find(all, "TYPELIB");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->header.id, 1u);
    std::istringstream in(t->data);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "NVTYPELIB 1");
    std::getline(in, line);
    EXPECT_EQ(line, GetParam().library);

    std::vector<std::pair<std::string, DISPID>> methods;
    int slot = 7;
    bool sawCoclass = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind, name, idWord, id, slotWord;
        int slotNo = 0;
        fields >> kind >> name;
        if (kind == "method") {
            fields >> idWord >> id >> slotWord >> slotNo;
            EXPECT_EQ(idWord, "id");
            EXPECT_EQ(slotNo, slot++) << name;
            methods.emplace_back(name, DISPID(std::stoul(id, nullptr, 16)));
        } else if (kind == "coclass") {
            sawCoclass = true;
        }
    }
    EXPECT_TRUE(sawCoclass);
    EXPECT_EQ(methods, GetParam().methods);
}

INSTANTIATE_TEST_SUITE_P(BothModules, Resources, testing::ValuesIn(kModules),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
