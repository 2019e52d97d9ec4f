#include "platform/com/client/runtime.h"

#include "platform/com/client/classlist.h"
#include "platform/com/guid.h"
#include "platform/com/resources/modulecheck.h"
#include "platform/registry/registry.h"
#include "platform/runtime/appdir.h"

#include <dlfcn.h>
#include <map>
#include <mutex>
#include <sys/stat.h>

namespace nv::com {

namespace {

struct LoadedModule
{
    void *handle = nullptr;
    PFN_DllGetClassObject getClassObject = nullptr;
    // The descriptor the module was loaded through, kept for the module's
    // (and the process's) life: the loader names the module by it.
    posix::Fd file;
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

bool fileExists(const std::string &path)
{
    struct stat st;
    return !path.empty() && path.front() == '/' && ::stat(path.c_str(), &st) == 0;
}

// The module of a class: the program's own class list first, then each part
// of the registry store (the user's, then the machine's). A place naming a
// module file that is gone (a deleted build tree, a removed copy) does not
// hide the places after it; when every one is gone, the first is answered so
// that the failure names it.
std::optional<std::string> findServer(const GUID &clsid, const std::string &id)
{
    std::vector<std::string> candidates = classListModules(programPath(), clsid);
    for (const auto &v : nv::reg::queryValueInEachPart(nv::reg::Root::ClassesRoot,
                                                       "CLSID\\" + id + "\\InprocServer32", ""))
        if (v.type == nv::reg::REG_SZ && !v.asText().empty())
            candidates.push_back(v.asText());
    for (const auto &path : candidates)
        if (fileExists(path))
            return path;
    if (candidates.empty())
        return std::nullopt;
    return candidates.front();
}

} // namespace

HRESULT createInstance(const GUID &clsid, const GUID &iid, void **out, std::string *detail)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const std::string id = guidToString(clsid);
    const auto server = findServer(clsid, id);
    if (!server)
        return fail(REGDB_E_CLASSNOTREG, detail, "Class " + id + " is not registered");
    const std::string path = *server;

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
            // dlopen would hang on a FIFO and die of SIGBUS on a file cut
            // short; the file checked is the file loaded.
            CheckedModule module = openCheckedModule(path);
            if (!module.check.ok())
                return fail(module.check.status, detail,
                            "Module " + path + " of class " + id +
                                " could not be loaded: " + module.check.text);
            std::string why;
            void *handle = loadCheckedModule(module, RTLD_NOW | RTLD_LOCAL, why);
            if (!handle)
                return fail(HRESULT_MOD_NOT_FOUND, detail,
                            "Module " + path + " of class " + id + " could not be loaded: " + why);
            auto fn = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
            if (!fn) {
                // Not a component module; it stays loaded like any other.
                modules()[path] = LoadedModule{handle, nullptr, std::move(module.fd)};
                return fail(HRESULT_PROC_NOT_FOUND, detail,
                            "Module " + path + " is no component module (no DllGetClassObject)");
            }
            it = modules().emplace(path, LoadedModule{handle, fn, std::move(module.fd)}).first;
        }
        getClassObject = it->second.getClassObject;
    }
    if (!getClassObject)
        return fail(HRESULT_PROC_NOT_FOUND, detail,
                    "Module " + path + " is no component module (no DllGetClassObject)");

    // What a failing module leaves in the out slot is not trusted, so the
    // factory is taken over only once the call succeeded.
    void *factoryOut = nullptr;
    HRESULT h = getClassObject(&clsid, &IID_IClassFactory, &factoryOut);
    if (FAILED(h) || !factoryOut)
        return fail(FAILED(h) ? h : E_POINTER, detail,
                    "Module " + path + " gave no factory for class " + id + ": " + statusText(h));
    ComPtr<IClassFactory> factory(static_cast<IClassFactory *>(factoryOut));
    void *object = nullptr;
    h = factory->lpVtbl->CreateInstance(factory.get(), nullptr, &iid, &object);
    if (FAILED(h) || !object)
        return fail(FAILED(h) ? h : E_POINTER, detail,
                    "The factory of class " + id + " refused: " + statusText(h));
    *out = object;
    return S_OK;
}

} // namespace nv::com
