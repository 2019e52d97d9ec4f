#include "platform/registry/registry.h"

#include "platform/registry/regformat.h"
#include "platform/registry/storefile.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace nv::reg {

using detail::Document;
using detail::equalsIgnoringCase;
using detail::FileState;

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
        return "access to the store denied (file permissions or a read-only file system); "
               "nothing was changed";
    case Status::IoError:
        return "input/output error on the store";
    case Status::InvalidArgument:
        return "invalid key path or value name";
    case Status::StoreTooLarge:
        return "the store file would grow beyond 16 MiB; nothing was written";
    case Status::KeyTooDeep:
        return "the key is nested deeper than 512 levels; nothing was written";
    case Status::NameTooLong:
        return "a key path or value name is longer than a line of the store (1 MiB); "
               "nothing was written";
    }
    return "unknown status";
}

std::string failureText(Status s)
{
    if (s == Status::IoError && lastIoError() != 0)
        return std::strerror(lastIoError());
    return statusText(s);
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
        if (equalsIgnoringCase(name, r.longName) || equalsIgnoringCase(name, r.shortName))
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

static_assert(detail::kMaxStoreFileSize == 16u << 20 && detail::kMaxKeyDepth == 512 &&
                  detail::kMaxLineLength == 1u << 20,
              "the status texts name the limits");

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
        if (loaded.state == FileState::Ok && !f(*loaded.doc))
            return;
    }
}

// Checked before the file is touched: a key the store cannot hold.
bool tooDeep(const std::string &keyPath)
{
    return !keyPath.empty() && detail::keyDepth(keyPath) + 1 > detail::kMaxKeyDepth;
}

// Names from several parts, each once (the first spelling), in linear time.
class UniqueNames
{
public:
    void add(const std::string &name)
    {
        std::string key = name;
        for (char &c : key)
            c = ascii::toLower(c);
        if (m_seen.insert(std::move(key)).second)
            m_names.push_back(name);
    }
    std::vector<std::string> take() { return std::move(m_names); }

private:
    std::vector<std::string> m_names;
    std::unordered_set<std::string> m_seen;
};

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
    UniqueNames unique;
    forEachDocument(root, [&](const Document &doc) {
        for (const auto &n : doc.childNames(*full))
            unique.add(n);
        return true;
    });
    return unique.take();
}

std::vector<std::string> valueNames(Root root, const std::string &keyPath)
{
    std::vector<std::string> names;
    auto full = fullPath(root, keyPath);
    if (!full)
        return names;
    UniqueNames unique;
    forEachDocument(root, [&](const Document &doc) {
        if (const auto *key = doc.findKey(*full))
            for (const auto &v : key->values)
                unique.add(v.name);
        return true;
    });
    return unique.take();
}

Status setValue(Root root, const std::string &keyPath, const std::string &name, const Value &value)
{
    if (!detail::isValidValueName(name))
        return Status::InvalidArgument;
    if (tooDeep(keyPath))
        return Status::KeyTooDeep;
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
        if (detail::keyDepth(*full) > detail::kMaxKeyDepth)
            return Status::KeyTooDeep;
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
    if (tooDeep(keyPath))
        return Status::KeyTooDeep;
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
