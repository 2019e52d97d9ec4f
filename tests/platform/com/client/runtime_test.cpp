// Where the runtime finds a class's module: the program's class list, then
// each part of the registry store; a place naming a module that is gone does
// not hide the places after it.
#include "hexops/HexFunctions_i.h"
#include "platform/com/bstr.h"
#include "platform/com/client/classlist.h"
#include "platform/com/client/runtime.h"
#include "platform/com/guid.h"

#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const GUID kOther = {0x01234567, 0x89AB, 0xCDEF, {1, 2, 3, 4, 5, 6, 7, 8}};

struct ParseCase
{
    const char *name;
    const char *text;
    std::vector<std::pair<std::string, std::string>> expected; // model, module
};

const ParseCase kParseCases[] = {
    {"OneClass",
     "{94512CCE-8FFE-11D4-A04F-00E0296E03A7} Apartment ../lib/a.so\n",
     {{"Apartment", "../lib/a.so"}}},
    {"CommentsBlanksAndCrLf",
     "# classes\n\n  {94512cce-8ffe-11d4-a04f-00e0296e03a7}\tboth  lib/a.so \r\n",
     {{"Both", "lib/a.so"}}},
    {"ModuleWithBlanks",
     "{94512CCE-8FFE-11D4-A04F-00E0296E03A7} Free /opt/my modules/a.so",
     {{"Free", "/opt/my modules/a.so"}}},
    {"BadLinesSkipped",
     "94512CCE-8FFE-11D4-A04F-00E0296E03A7 Apartment a.so\n"
     "{94512CCE-8FFE-11D4-A04F-00E0296E03A7} Rental a.so\n"
     "{94512CCE-8FFE-11D4-A04F-00E0296E03A7} Apartment\n"
     "{94512CCE-8FFE-11D4-A04F-00E0296E03A7} Neutral b.so\n",
     {{"Neutral", "b.so"}}},
    {"Empty", "", {}},
};

class ClassListParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ClassListParse, ReadsWhatIsWellFormed)
{
    const auto entries = nv::com::parseClassList(GetParam().text);
    std::vector<std::pair<std::string, std::string>> got;
    for (const auto &e : entries) {
        EXPECT_EQ(e.clsid, CLSID_HexFunctions);
        got.emplace_back(e.threadingModel, e.module);
    }
    EXPECT_EQ(got, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, ClassListParse, testing::ValuesIn(kParseCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ClassList, WrittenListReadsBack)
{
    const std::vector<nv::com::ClassListEntry> entries = {
        {CLSID_HexFunctions, "Apartment", "../lib/norvale/nvdigits10.so"},
        {kOther, "Both", "x y.so"}};
    const auto back = nv::com::parseClassList(nv::com::formatClassList("prog", entries));
    ASSERT_EQ(back.size(), 2u);
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].clsid, entries[i].clsid);
        EXPECT_EQ(back[i].threadingModel, entries[i].threadingModel);
        EXPECT_EQ(back[i].module, entries[i].module);
    }
}

TEST(ClassList, ModulesAreFoundRelativeToTheProgram)
{
    using Modules = std::vector<std::string>;
    nvtest::ScratchDir dir("classlist");
    const std::string program = (dir / "bin" / "prog").string();
    const std::string bin = (dir / "bin").string();
    fs::create_directories(dir / "bin");
    EXPECT_EQ(nv::com::classListModules(program, CLSID_HexFunctions), Modules{});

    // A class listed twice: the runtime tries both, in this order.
    nvtest::writeFile(
        program + ".manifest",
        nv::com::formatClassList("prog", {{CLSID_HexFunctions, "Apartment", "../lib/gone.so"},
                                          {kOther, "Apartment", "/abs/b.so"},
                                          {CLSID_HexFunctions, "Apartment", "../lib/a.so"}}));
    EXPECT_EQ(nv::com::classListModules(program, CLSID_HexFunctions),
              (Modules{bin + "/../lib/gone.so", bin + "/../lib/a.so"}));
    EXPECT_EQ(nv::com::classListModules(program, kOther), Modules{"/abs/b.so"});
    EXPECT_EQ(nv::com::classListModules(program, IID__HexFunctions), Modules{});

    // Something other than a small regular file is no class list.
    fs::remove(program + ".manifest");
    fs::create_directory(program + ".manifest");
    EXPECT_EQ(nv::com::classListModules(program, CLSID_HexFunctions), Modules{});
    fs::remove(program + ".manifest");
    nvtest::writeFile(program + ".manifest", std::string(nv::com::kMaxClassListSize + 1, '#'));
    EXPECT_EQ(nv::com::classListModules(program, CLSID_HexFunctions), Modules{});
}

// Which parts of the store name the module, and whether that file is there.
enum class Part { None, Good, Gone };

struct LookupCase
{
    const char *name;
    Part user, machine;
    HRESULT expected;
    const char *named; // the part whose module the failure names
};

const LookupCase kLookupCases[] = {
    {"UserGoneMachineGood", Part::Gone, Part::Good, S_OK, ""},
    {"UserGoodMachineGone", Part::Good, Part::Gone, S_OK, ""},
    {"UserOnly", Part::Good, Part::None, S_OK, ""},
    {"MachineOnly", Part::None, Part::Good, S_OK, ""},
    {"BothGoneNamesTheUsers", Part::Gone, Part::Gone, HRESULT_MOD_NOT_FOUND, "user"},
    {"NeitherRegistered", Part::None, Part::None, REGDB_E_CLASSNOTREG, ""},
};

class ClassLookup : public testing::TestWithParam<LookupCase>
{
protected:
    // Registers a copy of the module in the user's or the machine's part;
    // a "gone" copy is deleted afterwards, as a deleted build tree is.
    void registerIn(Part part, const char *where)
    {
        if (part == Part::None)
            return;
        const fs::path copy = m_dir / where / "nvdigits10.so";
        fs::create_directories(copy.parent_path());
        fs::copy_file(nvtest::hexopsModule(), copy);
        const std::string flag = std::string(where) == "machine" ? " --machine " : " ";
        ASSERT_EQ(nvtest::runCommand(std::string(nvtest::regTool()) + " register" + flag + "'" +
                                     copy.string() + "'"),
                  0);
        if (part == Part::Gone)
            fs::remove(copy);
    }
    nvtest::ScratchDir m_dir{"lookup"};
    nvtest::ScopedRegistryDir m_store{m_dir / "store"};
};

TEST_P(ClassLookup, AModuleThatIsGoneHidesNothing)
{
    const LookupCase &c = GetParam();
    registerIn(c.user, "user");
    registerIn(c.machine, "machine");

    _HexFunctions *obj = nullptr;
    std::string detail;
    const HRESULT h = nv::com::createInstance(CLSID_HexFunctions, IID__HexFunctions,
                                              reinterpret_cast<void **>(&obj), &detail);
    EXPECT_EQ(h, c.expected) << detail;
    if (h != S_OK) {
        EXPECT_EQ(obj, nullptr);
        if (*c.named) {
            EXPECT_NE(detail.find((m_dir / c.named).string()), std::string::npos) << detail;
        }
        return;
    }
    ASSERT_NE(obj, nullptr);
    BSTR label = nullptr;
    EXPECT_EQ(obj->lpVtbl->GenerateOffset(obj, 513, 1, &label), S_OK);
    EXPECT_EQ(nv::com::view(label), u"00000210");
    SysFreeString(label);
    obj->lpVtbl->Release(obj);
}

// A package's removal unregisters its machine-wide copy while the person
// removing it (root) has a copy of their own registered.
TEST_F(ClassLookup, MachineUnregisterIsNotStoppedByTheUsersOwnCopy)
{
    registerIn(Part::Good, "user");
    registerIn(Part::Good, "machine");
    const fs::path machineCopy = m_dir / "machine" / "nvdigits10.so";
    const fs::path machinePart = m_dir / "store" / "machine" / "registry.reg";
    ASSERT_NE(nvtest::readFile(machinePart).find(machineCopy.string()), std::string::npos);

    std::string out;
    ASSERT_EQ(nvtest::runCommand(std::string(nvtest::regTool()) + " unregister --machine '" +
                                     machineCopy.string() + "'",
                                 &out),
              0)
        << out;
    EXPECT_EQ(nvtest::readFile(machinePart).find("nvdigits10"), std::string::npos)
        << nvtest::readFile(machinePart);
    EXPECT_NE(nvtest::readFile(m_dir / "store" / "registry.reg").find((m_dir / "user").string()),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Parts, ClassLookup, testing::ValuesIn(kLookupCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
