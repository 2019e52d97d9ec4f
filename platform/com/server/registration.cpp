#include "platform/com/server/registration.h"

#include "platform/com/server/guard.h"

#include "platform/com/guid.h"
#include "platform/registry/registry.h"

#include <algorithm>
#include <cerrno>
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
    case reg::Status::IoError: // a full disk is worth its own answer to the installer
        return reg::lastIoError() == ENOSPC || reg::lastIoError() == EDQUOT ? HRESULT_DISK_FULL
                                                                            : E_FAIL;
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

// A registration comes in parts, each owned by the module whose path it
// holds under `ownerKey`: the class's entries and one per version of the
// type library.
struct Part
{
    std::string ownerKey;
    std::vector<reg::Entry> entries;
};

reg::Entry entry(const std::string &key, const std::string &name, const std::string &text)
{
    return reg::Entry{key, name, reg::Value::text(text)};
}

std::vector<Part> registrationOf(const ClassContract &c, const std::string &path)
{
    const std::string clsid = guidToString(c.coclass.id);
    const std::string libid = guidToString(c.library.id);
    const std::string classKey = "CLSID\\" + clsid;
    Part classPart{classKey + "\\InprocServer32",
                   {
                       entry(classKey, "", c.coclass.name),
                       entry(classKey + "\\InprocServer32", "", path),
                       entry(classKey + "\\InprocServer32", "ThreadingModel", kThreadingModel),
                       entry(classKey + "\\ProgID", "", progId(c)),
                       entry(classKey + "\\TypeLib", "", libid),
                       entry(progId(c) + "\\CLSID", "", clsid),
                       entry("Interface\\" + guidToString(c.dual.id), "", c.dual.name),
                   }};
    if (hasDerived(c))
        classPart.entries.push_back(
            entry("Interface\\" + guidToString(c.derived.id), "", c.derived.name));
    std::vector<Part> parts = {classPart};

    // A library answers a client that asks for its major version and a minor
    // one up to its own, as a minor version only adds. Each such version has
    // its key, so a client that looks its version up by name finds it too.
    for (uint32_t minor = 0; minor <= c.library.version.minor; ++minor) {
        const Version version{c.library.version.major, uint16_t(minor)};
        const std::string versionKey = "TypeLib\\" + libid + "\\" + versionText(version);
        const std::string platformKey = versionKey + "\\" + kPlatformKey;
        parts.push_back({platformKey,
                         {
                             entry(versionKey, "", c.library.name),
                             entry(versionKey + "\\FLAGS", "", "0"),
                             entry(platformKey, "", path),
                         }});
    }
    return parts;
}

std::optional<std::string> textValue(const std::string &key, const std::string &name)
{
    auto v = reg::queryValue(Root::ClassesRoot, key, name);
    if (!v || v->type != reg::REG_SZ)
        return std::nullopt;
    return v->asText();
}

// Deletes the value only if it still holds what we wrote.
reg::Status removeIfOurs(const reg::Entry &e)
{
    if (textValue(e.keyPath, e.name) != e.value.asText())
        return reg::Status::Ok;
    const reg::Status s = reg::deleteValue(Root::ClassesRoot, e.keyPath, e.name);
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

// The keys the entries live in and their parents, deepest first, without
// the top-level keys every class shares.
std::vector<std::string> keysToPrune(const std::vector<reg::Entry> &entries)
{
    std::vector<std::string> keys;
    for (const auto &e : entries) {
        std::string key = e.keyPath;
        while (key != "CLSID" && key != "Interface" && key != "TypeLib") {
            if (std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(key);
            const size_t parent = key.rfind('\\');
            if (parent == std::string::npos)
                break;
            key.resize(parent);
        }
    }
    const auto depth = [](const std::string &k) { return std::count(k.begin(), k.end(), '\\'); };
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const auto &a, const auto &b) { return depth(a) > depth(b); });
    return keys;
}

HRESULT unregisterWith(const ClassInfo &cls, const std::string &path)
{
    std::vector<reg::Status> results;
    for (const Part &part : registrationOf(cls.contract, path)) {
        // Another copy of the module owns this part now: its entries stay.
        const auto owner = textValue(part.ownerKey, "");
        if (owner && *owner != path)
            continue;
        for (const auto &e : part.entries)
            results.push_back(removeIfOurs(e));
        for (const auto &key : keysToPrune(part.entries))
            results.push_back(pruneIfEmpty(key));
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
        // One write: the store holds the whole registration or none of it.
        std::vector<reg::Entry> entries;
        for (Part &part : registrationOf(cls.contract, path))
            entries.insert(entries.end(), part.entries.begin(), part.entries.end());
        return statusOf(reg::setValues(Root::ClassesRoot, entries));
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
