#include "registration.h"

#include "guard.h"

#include "com/guid.h"
#include "registry/registry.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <vector>

namespace nv::com::server {

namespace {

constexpr const char *kPlatformKey = "409\\linux64";

const char kAnchor = 0; // an address inside this module

using reg::Root;

HRESULT statusOf(reg::Status s)
{
    switch (s) {
    case reg::Status::Ok:
        return S_OK;
    case reg::Status::AccessDenied:
        return E_ACCESSDENIED;
    default:
        return E_FAIL;
    }
}

// The mapping of /proc/self/maps that holds `address`, which the kernel
// names by absolute path whatever path the module was loaded by.
std::string mappedFile(const void *address)
{
    std::ifstream maps("/proc/self/maps");
    const auto where = reinterpret_cast<uintptr_t>(address);
    std::string line;
    while (std::getline(maps, line)) {
        unsigned long start = 0, end = 0;
        int pathAt = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx %*s %*s %*s %*s %n", &start, &end, &pathAt) < 2)
            continue;
        if (where < start || where >= end || pathAt <= 0)
            continue;
        std::string path = line.substr(size_t(pathAt));
        if (path.empty() || path.front() != '/' || path.ends_with(" (deleted)"))
            return {};
        return path;
    }
    return {};
}

struct Keys
{
    std::string clsid, libid, iid;
    std::string classKey, inproc, progIdKey, typeLibRef, progIdClsid, interfaceKey;
    std::string libKey, libVersionKey, libFlags, libPlatform;

    explicit Keys(const ClassInfo &cls)
        : clsid(guidToString(cls.clsid)), libid(guidToString(cls.libid)), iid(guidToString(cls.iid))
    {
        classKey = "CLSID\\" + clsid;
        inproc = classKey + "\\InprocServer32";
        progIdKey = classKey + "\\ProgID";
        typeLibRef = classKey + "\\TypeLib";
        progIdClsid = std::string(cls.progId) + "\\CLSID";
        interfaceKey = "Interface\\" + iid;
        libKey = "TypeLib\\" + libid;
        libVersionKey = libKey + "\\" + cls.libraryVersion;
        libFlags = libVersionKey + "\\FLAGS";
        libPlatform = libVersionKey + "\\" + kPlatformKey;
    }
};

std::optional<std::string> textValue(const std::string &key, const std::string &name)
{
    auto v = reg::queryValue(Root::ClassesRoot, key, name);
    if (!v || v->type != reg::REG_SZ)
        return std::nullopt;
    return v->asText();
}

// Deletes the value only if it still holds what we wrote.
reg::Status removeIfOurs(const std::string &key, const std::string &name,
                         const std::string &expected)
{
    if (textValue(key, name) != expected)
        return reg::Status::Ok;
    const reg::Status s = reg::deleteValue(Root::ClassesRoot, key, name);
    return s == reg::Status::NotFound ? reg::Status::Ok : s;
}

// Deletes the key when nothing is left in it.
reg::Status pruneIfEmpty(const std::string &key)
{
    if (!reg::keyExists(Root::ClassesRoot, key) || !reg::subKeys(Root::ClassesRoot, key).empty() ||
        !reg::valueNames(Root::ClassesRoot, key).empty())
        return reg::Status::Ok;
    const reg::Status s = reg::deleteKey(Root::ClassesRoot, key);
    return s == reg::Status::NotFound ? reg::Status::Ok : s;
}

HRESULT unregisterWith(const ClassInfo &cls, const std::string &path)
{
    const Keys k(cls);
    // Another copy of the module owns the class now: its entries stay.
    const auto owner = textValue(k.inproc, "");
    const bool ours = !owner || *owner == path;

    std::vector<reg::Status> results;
    if (ours) {
        results.push_back(removeIfOurs(k.inproc, "", path));
        results.push_back(removeIfOurs(k.inproc, "ThreadingModel", "Apartment"));
        results.push_back(pruneIfEmpty(k.inproc));
        results.push_back(removeIfOurs(k.progIdKey, "", cls.progId));
        results.push_back(pruneIfEmpty(k.progIdKey));
        results.push_back(removeIfOurs(k.typeLibRef, "", k.libid));
        results.push_back(pruneIfEmpty(k.typeLibRef));
        results.push_back(removeIfOurs(k.classKey, "", cls.className));
        results.push_back(pruneIfEmpty(k.classKey));
        results.push_back(removeIfOurs(k.progIdClsid, "", k.clsid));
        results.push_back(pruneIfEmpty(k.progIdClsid));
        results.push_back(pruneIfEmpty(cls.progId));
        results.push_back(removeIfOurs(k.interfaceKey, "", cls.interfaceName));
        results.push_back(pruneIfEmpty(k.interfaceKey));
    }
    const auto libOwner = textValue(k.libPlatform, "");
    if (!libOwner || *libOwner == path) {
        results.push_back(removeIfOurs(k.libPlatform, "", path));
        results.push_back(pruneIfEmpty(k.libPlatform));
        results.push_back(pruneIfEmpty(k.libVersionKey + "\\409"));
        results.push_back(removeIfOurs(k.libFlags, "", "0"));
        results.push_back(pruneIfEmpty(k.libFlags));
        results.push_back(removeIfOurs(k.libVersionKey, "", cls.libraryName));
        results.push_back(pruneIfEmpty(k.libVersionKey));
        results.push_back(pruneIfEmpty(k.libKey));
    }
    for (reg::Status s : results)
        if (s != reg::Status::Ok)
            return statusOf(s);
    return S_OK;
}

} // namespace

std::string modulePath()
{
    std::string path = mappedFile(&kAnchor);
    if (!path.empty())
        return path;
    Dl_info info{};
    if (!dladdr(&kAnchor, &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved))
        return {};
    return resolved;
}

HRESULT registerServer(const ClassInfo &cls) noexcept
{
    return guarded([&]() -> HRESULT {
        const std::string path = modulePath();
        if (path.empty())
            return E_FAIL;
        const Keys k(cls);
        using reg::Value;
        const std::pair<const std::string *, std::pair<std::string, std::string>> entries[] = {
            {&k.classKey, {"", cls.className}},
            {&k.inproc, {"", path}},
            {&k.inproc, {"ThreadingModel", "Apartment"}},
            {&k.progIdKey, {"", cls.progId}},
            {&k.typeLibRef, {"", k.libid}},
            {&k.progIdClsid, {"", k.clsid}},
            {&k.interfaceKey, {"", cls.interfaceName}},
            {&k.libVersionKey, {"", cls.libraryName}},
            {&k.libFlags, {"", "0"}},
            {&k.libPlatform, {"", path}},
        };
        for (const auto &[key, value] : entries) {
            const reg::Status s =
                reg::setValue(Root::ClassesRoot, *key, value.first, Value::text(value.second));
            if (s != reg::Status::Ok) {
                // Leave no half registration behind.
                unregisterWith(cls, path);
                return statusOf(s);
            }
        }
        return S_OK;
    });
}

HRESULT unregisterServer(const ClassInfo &cls) noexcept
{
    return guarded([&]() -> HRESULT {
        const std::string path = modulePath();
        if (path.empty())
            return E_FAIL;
        return unregisterWith(cls, path);
    });
}

} // namespace nv::com::server
