#include "runtime.h"

#include "guid.h"
#include "registry/registry.h"

#include <dlfcn.h>
#include <map>
#include <mutex>

namespace nv::com {

namespace {

struct LoadedModule
{
    void *handle = nullptr;
    PFN_DllGetClassObject getClassObject = nullptr;
};

// Modules are never unloaded: objects and their tables live in them.
std::map<std::string, LoadedModule> &modules()
{
    static std::map<std::string, LoadedModule> loaded;
    return loaded;
}

std::mutex &modulesLock()
{
    static std::mutex m;
    return m;
}

HRESULT fail(HRESULT status, std::string *detail, const std::string &text)
{
    if (detail)
        *detail = text;
    return status;
}

} // namespace

HRESULT createInstance(const GUID &clsid, const GUID &iid, void **out, std::string *detail)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const std::string id = guidToString(clsid);
    auto server = nv::reg::queryValue(nv::reg::Root::ClassesRoot,
                                      "CLSID\\" + id + "\\InprocServer32", "");
    if (!server || server->type != nv::reg::REG_SZ || server->asText().empty())
        return fail(REGDB_E_CLASSNOTREG, detail, "Class " + id + " is not registered");
    const std::string path = server->asText();

    PFN_DllGetClassObject getClassObject = nullptr;
    {
        std::lock_guard<std::mutex> lock(modulesLock());
        auto it = modules().find(path);
        if (it == modules().end()) {
            // Only absolute paths: a bare name would be searched for on the
            // library path, and a registration names one file.
            if (path.front() != '/')
                return fail(HRESULT_MOD_NOT_FOUND, detail,
                            "Module of class " + id + " is not an absolute path: " + path);
            void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                const char *why = dlerror();
                return fail(HRESULT_MOD_NOT_FOUND, detail,
                            "Module " + path + " of class " + id + " could not be loaded: " +
                                (why ? why : "unknown reason"));
            }
            auto fn = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
            if (!fn) {
                // Not a component module; it stays loaded like any other.
                modules()[path] = LoadedModule{handle, nullptr};
                return fail(HRESULT_PROC_NOT_FOUND, detail,
                            "Module " + path + " is no component module (no DllGetClassObject)");
            }
            it = modules().emplace(path, LoadedModule{handle, fn}).first;
        }
        getClassObject = it->second.getClassObject;
    }
    if (!getClassObject)
        return fail(HRESULT_PROC_NOT_FOUND, detail,
                    "Module " + path + " is no component module (no DllGetClassObject)");

    IClassFactory *factory = nullptr;
    HRESULT h = getClassObject(&clsid, &IID_IClassFactory, reinterpret_cast<void **>(&factory));
    if (FAILED(h) || !factory)
        return fail(FAILED(h) ? h : E_POINTER, detail,
                    "Module " + path + " gave no factory for class " + id + ": " + statusText(h));
    void *object = nullptr;
    h = factory->lpVtbl->CreateInstance(factory, nullptr, &iid, &object);
    factory->lpVtbl->Release(factory);
    if (FAILED(h) || !object)
        return fail(FAILED(h) ? h : E_POINTER, detail,
                    "The factory of class " + id + " refused: " + statusText(h));
    *out = object;
    return S_OK;
}

} // namespace nv::com
