// Self-registration into a scratch store and its exact removal.
#include "tests/components/client.h"

#include "hexops/HexFunctions_i.h"
#include "platform/com/guid.h"
#include "platform/registry/registry.h"
#include "stringops/Strings_i.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace nvtest::com;
using nv::com::guidToString;
using nv::reg::Root;

namespace {

struct Expected
{
    const char *name;
    const ModuleEntryPoints &(*module)();
    const char *file;
    GUID clsid, libid;
    std::string className, progId, libName;
    std::vector<std::pair<GUID, std::string>> interfaces;
    // The library's version, and the earlier ones of its major version it answers.
    std::vector<std::string> libVersions;
};

const Expected kHex = {
    "HexFunctions",
    hexModule,
    NV_HEXOPS_MODULE,
    CLSID_HexFunctions,
    LIBID_HexOperations,
    "HexFunctions",
    "HexOperations.HexFunctions",
    "HexOperations",
    {{IID__HexFunctions, "_HexFunctions"}, {IID__HexFunctions2, "_HexFunctions2"}},
    {"5.1", "5.0"}};
const Expected kStrings = {"Strings",
                           stringsModule,
                           NV_STRINGOPS_MODULE,
                           CLSID_Strings,
                           LIBID_StringOperations,
                           "Strings",
                           "StringOperations.Strings",
                           "StringOperations",
                           {{IID__Strings, "_Strings"}},
                           {"7.0"}};

std::optional<std::string> text(const std::string &key, const std::string &name = "")
{
    auto v = nv::reg::queryValue(Root::ClassesRoot, key, name);
    if (!v)
        return std::nullopt;
    return v->asText();
}

std::string classKey(const Expected &e)
{
    return "CLSID\\" + guidToString(e.clsid);
}
std::string libKey(const Expected &e)
{
    return "TypeLib\\" + guidToString(e.libid);
}
std::string interfaceKey(const GUID &iid)
{
    return "Interface\\" + guidToString(iid);
}

void expectInterfacesNamed(const Expected &e)
{
    for (const auto &[iid, name] : e.interfaces)
        EXPECT_EQ(text(interfaceKey(iid)), name);
}

void expectRegistered(const Expected &e)
{
    const std::string path = std::filesystem::canonical(e.file).string();
    const std::string clsid = guidToString(e.clsid);
    EXPECT_EQ(text(classKey(e)), e.className);
    EXPECT_EQ(text(classKey(e) + "\\InprocServer32"), path);
    EXPECT_EQ(text(classKey(e) + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(text(classKey(e) + "\\ProgID"), e.progId);
    EXPECT_EQ(text(classKey(e) + "\\TypeLib"), guidToString(e.libid));
    EXPECT_EQ(text(e.progId + "\\CLSID"), clsid);
    expectInterfacesNamed(e);
    for (const std::string &version : e.libVersions) {
        EXPECT_EQ(text(libKey(e) + "\\" + version), e.libName) << version;
        EXPECT_EQ(text(libKey(e) + "\\" + version + "\\409\\linux64"), path) << version;
    }
    EXPECT_EQ(nv::reg::subKeys(Root::ClassesRoot, libKey(e)).size(), e.libVersions.size());
}

void expectGone(const Expected &e)
{
    EXPECT_FALSE(nv::reg::keyExists(Root::ClassesRoot, classKey(e)));
    EXPECT_FALSE(nv::reg::keyExists(Root::ClassesRoot, e.progId));
    for (const auto &iface : e.interfaces)
        EXPECT_FALSE(nv::reg::keyExists(Root::ClassesRoot, interfaceKey(iface.first)));
    EXPECT_FALSE(nv::reg::keyExists(Root::ClassesRoot, libKey(e)));
}

class Registration : public testing::TestWithParam<Expected>
{
protected:
    nvtest::ScratchDir m_dir{"registry"};
    nvtest::ScopedRegistryDir m_store{m_dir.path()};
};

TEST_P(Registration, RoundTripLeavesNothingBehind)
{
    const auto &m = GetParam().module();
    ASSERT_EQ(m.registerServer(), S_OK);
    expectRegistered(GetParam());
    ASSERT_EQ(m.registerServer(), S_OK); // again: same entries, nothing doubled
    expectRegistered(GetParam());
    ASSERT_EQ(m.unregisterServer(), S_OK);
    expectGone(GetParam());
    // The shared parents hold nothing of ours any more.
    EXPECT_TRUE(nv::reg::subKeys(Root::ClassesRoot, "CLSID").empty());
    EXPECT_TRUE(nv::reg::subKeys(Root::ClassesRoot, "Interface").empty());
    EXPECT_EQ(m.unregisterServer(), S_OK); // nothing left to remove is no failure
}

TEST_P(Registration, UnregisterKeepsWhatOthersWrote)
{
    const Expected &self = GetParam();
    const Expected &other = self.clsid == kHex.clsid ? kStrings : kHex;
    ASSERT_EQ(other.module().registerServer(), S_OK);
    ASSERT_EQ(self.module().registerServer(), S_OK);
    // Someone else's value inside one of our keys.
    ASSERT_EQ(
        nv::reg::setValue(Root::ClassesRoot, classKey(self), "Note", nv::reg::Value::text("kept")),
        nv::reg::Status::Ok);
    ASSERT_EQ(self.module().unregisterServer(), S_OK);
    expectRegistered(other);
    EXPECT_EQ(text(classKey(self), "Note"), "kept");
    EXPECT_FALSE(nv::reg::keyExists(Root::ClassesRoot, classKey(self) + "\\InprocServer32"));
    EXPECT_FALSE(nv::reg::keyExists(Root::ClassesRoot, self.progId));
    ASSERT_EQ(other.module().unregisterServer(), S_OK);
}

TEST_P(Registration, AnotherCopysRegistrationStays)
{
    const Expected &e = GetParam();
    ASSERT_EQ(e.module().registerServer(), S_OK);
    const std::string elsewhere = "/opt/elsewhere/module.so";
    ASSERT_EQ(nv::reg::setValue(Root::ClassesRoot, classKey(e) + "\\InprocServer32", "",
                                nv::reg::Value::text(elsewhere)),
              nv::reg::Status::Ok);
    ASSERT_EQ(e.module().unregisterServer(), S_OK);
    EXPECT_EQ(text(classKey(e) + "\\InprocServer32"), elsewhere);
    EXPECT_EQ(text(e.progId + "\\CLSID"), guidToString(e.clsid));
    expectInterfacesNamed(e);
}

// The registration is one write: a store that cannot be written gets none of
// it, says so, and keeps every byte it had.
TEST_P(Registration, UnwritableStoreFailsAndKeepsItsBytes)
{
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\K]\n"
                                "not a value line\n";
    nvtest::writeFile(nv::reg::userStoreFile(), damaged);
    EXPECT_TRUE(FAILED(GetParam().module().registerServer()));
    EXPECT_EQ(nvtest::readFile(nv::reg::userStoreFile()), damaged);
}

INSTANTIATE_TEST_SUITE_P(BothModules, Registration, testing::Values(kHex, kStrings),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
