// Creation, reference counting and unloading of both classes, seen from an
// outside client.
#include "tests/components/client.h"

#include "hexops/HexFunctions_i.h"
#include "stringops/Strings_i.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace nvtest::com;

namespace {

struct ClassCase
{
    const char *name;
    const ModuleEntryPoints &(*module)();
    const char *file;
    GUID clsid;
    GUID otherClsid; // the other module's class
    // The class's own interfaces, the first one first: QueryInterface answers
    // these, IUnknown and IDispatch.
    std::vector<GUID> ownInterfaces;
};

const ClassCase kClasses[] = {
    {"HexFunctions",
     hexModule,
     NV_HEXOPS_MODULE,
     CLSID_HexFunctions,
     CLSID_Strings,
     {IID__HexFunctions, IID__HexFunctions2}},
    {"Strings",
     stringsModule,
     NV_STRINGOPS_MODULE,
     CLSID_Strings,
     CLSID_HexFunctions,
     {IID__Strings}},
};

constexpr GUID kUnknownIid = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class Lifecycle : public testing::TestWithParam<ClassCase>
{
protected:
    const ModuleEntryPoints &m() { return GetParam().module(); }
    IClassFactory *factory()
    {
        IClassFactory *f = nullptr;
        EXPECT_EQ(m().getClassObject(&GetParam().clsid, &IID_IClassFactory,
                                     reinterpret_cast<void **>(&f)),
                  S_OK);
        return f;
    }
};

TEST_P(Lifecycle, ReferenceCountsStartAtOneAndFollowAddRefRelease)
{
    auto *obj = static_cast<IUnknown *>(createObject(m(), GetParam().clsid, IID_IUnknown));
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->lpVtbl->AddRef(obj), 2u);
    EXPECT_EQ(obj->lpVtbl->AddRef(obj), 3u);
    EXPECT_EQ(obj->lpVtbl->Release(obj), 2u);
    EXPECT_EQ(obj->lpVtbl->Release(obj), 1u);
    EXPECT_EQ(obj->lpVtbl->Release(obj), 0u);
}

TEST_P(Lifecycle, QueryInterfaceAnswersItsInterfacesOnly)
{
    auto *obj = static_cast<IUnknown *>(createObject(m(), GetParam().clsid, IID_IUnknown));
    ASSERT_NE(obj, nullptr);
    std::vector<GUID> answered = {IID_IUnknown, IID_IDispatch};
    answered.insert(answered.end(), GetParam().ownInterfaces.begin(),
                    GetParam().ownInterfaces.end());
    // From each interface to each: one object, one table.
    for (const GUID &from : answered) {
        void *via = nullptr;
        ASSERT_EQ(obj->lpVtbl->QueryInterface(obj, &from, &via), S_OK);
        auto *fromObj = static_cast<IUnknown *>(via);
        for (const GUID &to : answered) {
            void *out = nullptr;
            ASSERT_EQ(fromObj->lpVtbl->QueryInterface(fromObj, &to, &out), S_OK);
            EXPECT_EQ(out, obj);
            EXPECT_EQ(release(static_cast<IUnknown *>(out)), 2u);
        }
        EXPECT_EQ(release(fromObj), 1u);
    }
    // The null identifier too: a class without a second interface has none to match.
    for (const GUID &iid : {IID_IClassFactory, kUnknownIid, GetParam().otherClsid, GUID{}}) {
        void *out = reinterpret_cast<void *>(0x1);
        EXPECT_EQ(obj->lpVtbl->QueryInterface(obj, &iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(obj->lpVtbl->QueryInterface(obj, &IID_IUnknown, nullptr), E_POINTER);
    void *out = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(obj->lpVtbl->QueryInterface(obj, nullptr, &out), E_POINTER);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(release(obj), 0u);
}

TEST_P(Lifecycle, FactoryRefusesAggregationAndForeignInterfaces)
{
    IClassFactory *f = factory();
    ASSERT_NE(f, nullptr);
    IUnknown outer{};
    void *out = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f, &outer, &IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f, nullptr, &kUnknownIid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f, nullptr, &IID_IUnknown, nullptr), E_POINTER);

    // The factory itself answers IUnknown and IClassFactory only.
    EXPECT_EQ(f->lpVtbl->QueryInterface(f, &IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, f);
    release(static_cast<IUnknown *>(out));
    EXPECT_EQ(f->lpVtbl->QueryInterface(f, &IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(f->lpVtbl->Release(f), 0u);
}

TEST_P(Lifecycle, GetClassObjectRefusesOtherClassesAndBadArguments)
{
    void *out = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(m().getClassObject(&GetParam().otherClsid, &IID_IClassFactory, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(m().getClassObject(&GetParam().clsid, &kUnknownIid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(m().getClassObject(&GetParam().clsid, &IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(m().getClassObject(nullptr, &IID_IClassFactory, &out), E_POINTER);
    EXPECT_EQ(m().canUnloadNow(), S_OK);
}

TEST_P(Lifecycle, CanUnloadOnlyWithoutObjectsFactoriesOrLocks)
{
    EXPECT_EQ(m().canUnloadNow(), S_OK);

    IClassFactory *f = factory();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(m().canUnloadNow(), S_FALSE); // a held factory is code of the module

    void *obj = nullptr;
    ASSERT_EQ(f->lpVtbl->CreateInstance(f, nullptr, &GetParam().ownInterfaces.back(), &obj), S_OK);
    EXPECT_EQ(f->lpVtbl->LockServer(f, 1), S_OK);
    EXPECT_EQ(f->lpVtbl->Release(f), 0u);
    EXPECT_EQ(m().canUnloadNow(), S_FALSE);

    release(static_cast<IUnknown *>(obj));
    EXPECT_EQ(m().canUnloadNow(), S_FALSE); // still locked

    f = factory();
    EXPECT_EQ(f->lpVtbl->LockServer(f, 0), S_OK);
    // An unbalanced unlock must not hide a later lock.
    EXPECT_EQ(f->lpVtbl->LockServer(f, 0), S_OK);
    EXPECT_EQ(f->lpVtbl->LockServer(f, 1), S_OK);
    EXPECT_EQ(f->lpVtbl->Release(f), 0u);
    EXPECT_EQ(m().canUnloadNow(), S_FALSE);
    f = factory();
    EXPECT_EQ(f->lpVtbl->LockServer(f, 0), S_OK);
    EXPECT_EQ(f->lpVtbl->Release(f), 0u);
    EXPECT_EQ(m().canUnloadNow(), S_OK);
}

TEST_P(Lifecycle, TypeInfoIsNotOffered)
{
    auto *obj = static_cast<IDispatch *>(createObject(m(), GetParam().clsid, IID_IDispatch));
    ASSERT_NE(obj, nullptr);
    uint32_t count = 7;
    EXPECT_EQ(obj->lpVtbl->GetTypeInfoCount(obj, &count), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(obj->lpVtbl->GetTypeInfoCount(obj, nullptr), E_POINTER);
    void *info = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(obj->lpVtbl->GetTypeInfo(obj, 0, 0x0409, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    release(obj);
}

TEST_P(Lifecycle, ExportsExactlyTheFourEntryPoints)
{
    auto names = exportedSymbols(GetParam().file);
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {"DllCanUnloadNow", "DllGetClassObject",
                                               "DllRegisterServer", "DllUnregisterServer"};
    EXPECT_EQ(names, expected);
}

INSTANTIATE_TEST_SUITE_P(BothClasses, Lifecycle, testing::ValuesIn(kClasses),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
