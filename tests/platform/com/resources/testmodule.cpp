// A small component module for the tests: resource records in ".nvres" and the
// four entry points, registering one made-up class through its own copy of
// the store code. NV_REGTEST_FAIL in the environment makes registration fail.

#include "platform/com/comtypes.h"
#include "platform/com/resources/resource.h"
#include "platform/registry/registry.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <string>

namespace {

constexpr unsigned char kVersion[] = "FileVersion=1.00.0001\0ProductName=regtest\0OLESelfRegister";
constexpr unsigned char kIid[20] = {16,   0,    0,    0,    0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A,
                                    0xF0, 0xDE, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
constexpr unsigned char kTypeLib[] = {'T', 'L', 'B', 1, 2, 3, 4, 5, 6, 7, 8};

NV_RESOURCE_SECTION const auto rVersion =
    nv::com::makeResource("VERSION", 1, 0x0409, 1200, kVersion);
NV_RESOURCE_SECTION const auto rIid = nv::com::makeResource("_IID_REGTEST", 1, 0, 0, kIid);
NV_RESOURCE_SECTION const auto rTypeLib = nv::com::makeResource("TYPELIB", 1, 0, 0, kTypeLib);

const std::string kClassKey = "CLSID\\{12345678-9ABC-DEF0-0123-456789ABCDEF}";

// The loader may know us by the descriptor we were loaded through.
std::string ownPath()
{
    Dl_info info{};
    char resolved[PATH_MAX];
    if (dladdr(reinterpret_cast<void *>(&ownPath), &info) && info.dli_fname &&
        realpath(info.dli_fname, resolved))
        return resolved;
    return {};
}

HRESULT fromStatus(nv::reg::Status s)
{
    return s == nv::reg::Status::Ok ? S_OK : E_FAIL;
}

} // namespace

#define NV_EXPORT extern "C" __attribute__((visibility("default")))

NV_EXPORT HRESULT DllRegisterServer()
{
    if (std::getenv("NV_REGTEST_FAIL"))
        return E_FAIL;
    using namespace nv::reg;
    Status s = setValue(Root::ClassesRoot, kClassKey, "", Value::text("NvRegTest.Module"));
    if (s == Status::Ok)
        s = setValue(Root::ClassesRoot, kClassKey + "\\InprocServer32", "", Value::text(ownPath()));
    if (s == Status::Ok)
        s = setValue(Root::ClassesRoot, kClassKey + "\\InprocServer32", "ThreadingModel",
                     Value::text("Apartment"));
    return fromStatus(s);
}

NV_EXPORT HRESULT DllUnregisterServer()
{
    return fromStatus(nv::reg::deleteKey(nv::reg::Root::ClassesRoot, kClassKey));
}

NV_EXPORT HRESULT DllGetClassObject(const GUID *, const GUID *, void **out)
{
    if (out)
        *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

NV_EXPORT HRESULT DllCanUnloadNow()
{
    return S_OK;
}
