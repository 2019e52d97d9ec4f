#include "platform/registry/winreg.h"

#include "platform/registry/registry.h"

#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace {

struct OpenKey
{
    nv::reg::Root root;
    std::string path;
};

// Open keys by handle value. Handle values are never reused within a
// process, so a stale handle cannot reach a key opened later.
struct HandleTable
{
    std::mutex mutex;
    std::map<uintptr_t, OpenKey> keys;
    uintptr_t next = 0x1000;
};

HandleTable &handles()
{
    static HandleTable *table = new HandleTable; // outlives static destructors
    return *table;
}

std::optional<nv::reg::Root> predefinedRoot(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return nv::reg::Root::ClassesRoot;
    if (key == HKEY_CURRENT_USER)
        return nv::reg::Root::CurrentUser;
    if (key == HKEY_LOCAL_MACHINE)
        return nv::reg::Root::LocalMachine;
    return std::nullopt;
}

std::optional<OpenKey> resolve(HKEY key)
{
    if (auto root = predefinedRoot(key))
        return OpenKey{*root, {}};
    auto &t = handles();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.keys.find(reinterpret_cast<uintptr_t>(key));
    if (it == t.keys.end())
        return std::nullopt;
    return it->second;
}

} // namespace

long RegOpenKeyExA(HKEY root, const char *subKey, uint32_t /*options*/, uint32_t /*access*/,
                   HKEY *out)
{
    if (!out)
        return ERROR_INVALID_PARAMETER;
    *out = nullptr;
    auto base = resolve(root);
    if (!base)
        return ERROR_INVALID_HANDLE;
    OpenKey key = *base;
    if (subKey && *subKey)
        key.path = key.path.empty() ? std::string(subKey) : key.path + "\\" + subKey;
    if (!nv::reg::keyExists(key.root, key.path))
        return ERROR_FILE_NOT_FOUND;
    auto &t = handles();
    std::lock_guard<std::mutex> lock(t.mutex);
    uintptr_t h = t.next;
    t.next += 0x10;
    if (predefinedRoot(reinterpret_cast<HKEY>(h))) { // keep clear of the classic root values
        h = t.next;
        t.next += 0x10;
    }
    t.keys.emplace(h, std::move(key));
    *out = reinterpret_cast<HKEY>(h);
    return ERROR_SUCCESS;
}

long RegQueryValueExA(HKEY key, const char *valueName, uint32_t *reserved, uint32_t *type,
                      uint8_t *data, uint32_t *cbData)
{
    if (reserved || (data && !cbData))
        return ERROR_INVALID_PARAMETER;
    auto open = resolve(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    auto value = nv::reg::queryValue(open->root, open->path, valueName ? valueName : "");
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (value->data.size() > UINT32_MAX)
        return ERROR_MORE_DATA;
    const auto size = uint32_t(value->data.size());
    if (type)
        *type = value->type;
    if (!cbData)
        return ERROR_SUCCESS;
    if (data && *cbData < size) {
        *cbData = size;
        return ERROR_MORE_DATA;
    }
    if (data && size)
        std::memcpy(data, value->data.data(), size);
    *cbData = size;
    return ERROR_SUCCESS;
}

long RegCloseKey(HKEY key)
{
    if (predefinedRoot(key))
        return ERROR_SUCCESS;
    auto &t = handles();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.keys.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
