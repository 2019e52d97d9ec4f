#include "registry.h"

#include "regformat.h"
#include "storefile.h"

#include <algorithm>

namespace nv::reg {

using detail::Document;
using detail::FileState;
using detail::iequals;

Value Value::text(const std::string &s)
{
    Value v;
    v.type = REG_SZ;
    v.data = s;
    v.data += '\0';
    return v;
}

Value Value::dword(uint32_t n)
{
    Value v;
    v.type = REG_DWORD;
    for (int i = 0; i < 4; ++i)
        v.data += char((n >> (8 * i)) & 0xFF);
    return v;
}

std::string Value::asText() const
{
    return data.substr(0, data.find('\0'));
}

const char *statusText(Status s)
{
    switch (s) {
    case Status::Ok:
        return "success";
    case Status::NotFound:
        return "key or value not found";
    case Status::Damaged:
        return "the store file is damaged or not a store file; it was left unchanged";
    case Status::AccessDenied:
        return "access to the store denied";
    case Status::IoError:
        return "input/output error on the store";
    case Status::InvalidArgument:
        return "invalid key path or value name";
    }
    return "unknown status";
}

std::optional<Root> rootFromName(const std::string &name)
{
    static const struct
    {
        const char *longName;
        const char *shortName;
        Root root;
    } roots[] = {{"HKEY_CLASSES_ROOT", "HKCR", Root::ClassesRoot},
                 {"HKEY_LOCAL_MACHINE", "HKLM", Root::LocalMachine},
                 {"HKEY_CURRENT_USER", "HKCU", Root::CurrentUser}};
    for (const auto &r : roots)
        if (iequals(name, r.longName) || iequals(name, r.shortName))
            return r.root;
    return std::nullopt;
}

const char *rootName(Root root)
{
    switch (root) {
    case Root::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case Root::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case Root::CurrentUser:
        return "HKEY_CURRENT_USER";
    }
    return "";
}

namespace {

// The root's own name for "", else ROOT\path; nullopt for a malformed path.
std::optional<std::string> fullPath(Root root, const std::string &keyPath)
{
    if (keyPath.empty())
        return std::string(rootName(root));
    if (!detail::isValidKeyPath(keyPath))
        return std::nullopt;
    return std::string(rootName(root)) + "\\" + keyPath;
}

template <class F> void forEachDocument(Root root, F &&f)
{
    for (const auto &file : detail::readFilesFor(root)) {
        auto loaded = detail::loadStoreFile(file);
        if (loaded.state == FileState::Ok && !f(loaded.doc))
            return;
    }
}

void addUnique(std::vector<std::string> &names, const std::string &name)
{
    if (std::none_of(names.begin(), names.end(),
                     [&](const std::string &n) { return iequals(n, name); }))
        names.push_back(name);
}

Status modify(Root root, const std::string &keyPath,
              const std::function<Status(Document &, const std::string &)> &change)
{
    auto full = fullPath(root, keyPath);
    if (!full)
        return Status::InvalidArgument;
    return detail::modifyStoreFile(detail::writeFileFor(root),
                                   [&](Document &doc) { return change(doc, *full); });
}

} // namespace

std::optional<Value> queryValue(Root root, const std::string &keyPath, const std::string &name)
{
    auto full = fullPath(root, keyPath);
    if (!full)
        return std::nullopt;
    std::optional<Value> found;
    forEachDocument(root, [&](const Document &doc) {
        if (const auto *key = doc.findKey(*full))
            if (const auto *v = key->findValue(name))
                found = v->value;
        return !found;
    });
    return found;
}

std::vector<Value> queryValueInEachPart(Root root, const std::string &keyPath,
                                        const std::string &name)
{
    std::vector<Value> found;
    auto full = fullPath(root, keyPath);
    if (!full)
        return found;
    forEachDocument(root, [&](const Document &doc) {
        if (const auto *key = doc.findKey(*full))
            if (const auto *v = key->findValue(name))
                found.push_back(v->value);
        return true;
    });
    return found;
}

bool keyExists(Root root, const std::string &keyPath)
{
    if (keyPath.empty())
        return true;
    auto full = fullPath(root, keyPath);
    if (!full)
        return false;
    bool exists = false;
    forEachDocument(root, [&](const Document &doc) {
        exists = doc.keyExists(*full);
        return !exists;
    });
    return exists;
}

std::vector<std::string> subKeys(Root root, const std::string &keyPath)
{
    std::vector<std::string> names;
    auto full = fullPath(root, keyPath);
    if (!full)
        return names;
    forEachDocument(root, [&](const Document &doc) {
        for (const auto &n : doc.childNames(*full))
            addUnique(names, n);
        return true;
    });
    return names;
}

std::vector<std::string> valueNames(Root root, const std::string &keyPath)
{
    std::vector<std::string> names;
    auto full = fullPath(root, keyPath);
    if (!full)
        return names;
    forEachDocument(root, [&](const Document &doc) {
        if (const auto *key = doc.findKey(*full))
            for (const auto &v : key->values)
                addUnique(names, v.name);
        return true;
    });
    return names;
}

Status setValue(Root root, const std::string &keyPath, const std::string &name, const Value &value)
{
    if (!detail::isValidValueName(name))
        return Status::InvalidArgument;
    return modify(root, keyPath, [&](Document &doc, const std::string &full) {
        doc.setValue(full, detail::NamedValue{name, value});
        return Status::Ok;
    });
}

Status setValues(Root root, const std::vector<Entry> &entries)
{
    std::vector<std::string> paths;
    for (const auto &e : entries) {
        auto full = fullPath(root, e.keyPath);
        if (!full || !detail::isValidValueName(e.name))
            return Status::InvalidArgument;
        paths.push_back(*full);
    }
    return detail::modifyStoreFile(detail::writeFileFor(root), [&](Document &doc) {
        for (size_t i = 0; i < entries.size(); ++i)
            doc.setValue(paths[i], detail::NamedValue{entries[i].name, entries[i].value});
        return Status::Ok;
    });
}

Status createKey(Root root, const std::string &keyPath)
{
    if (keyPath.empty())
        return Status::Ok; // the root always exists
    return modify(root, keyPath, [](Document &doc, const std::string &full) {
        doc.ensureKey(full);
        return Status::Ok;
    });
}

Status deleteKey(Root root, const std::string &keyPath)
{
    if (keyPath.empty())
        return Status::InvalidArgument; // a root cannot be deleted
    return modify(root, keyPath, [](Document &doc, const std::string &full) {
        return doc.removeKey(full) ? Status::Ok : Status::NotFound;
    });
}

Status deleteValue(Root root, const std::string &keyPath, const std::string &name)
{
    return modify(root, keyPath, [&](Document &doc, const std::string &full) {
        return doc.removeValue(full, name) ? Status::Ok : Status::NotFound;
    });
}

} // namespace nv::reg
