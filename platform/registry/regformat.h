// The text form of one store file: the registry-export layout
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\CLSID\{...}]
//   @="text"
//   "name"=dword:0000000a
//   "name"=hex(2):41,00
//
// held in memory as an ordered list of keys, each with its ordered values.
// Keys are stored by their full path, root name included, exactly as the file
// names them; keys of roots this store does not know are kept untouched.
#pragma once

#include "registry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::reg::detail {

constexpr std::string_view kFileHeader = "Windows Registry Editor Version 5.00";

bool iequals(std::string_view a, std::string_view b);
// True when `path` is `prefix` itself or lies below it.
bool isAtOrBelow(std::string_view path, std::string_view prefix);
bool isValidUtf8(std::string_view s);
// A key path of names joined by "\": no empty names, no control characters.
bool isValidKeyPath(std::string_view path);
bool isValidValueName(std::string_view name);
// Bytes written as "aa,bb,cc" (an empty text is no bytes).
bool parseHexList(std::string_view s, std::string &out);

struct NamedValue
{
    std::string name; // "" is the default value
    Value value;
};

struct KeyEntry
{
    std::string path; // full path, "HKEY_CLASSES_ROOT\CLSID"
    std::vector<NamedValue> values;

    const NamedValue *findValue(std::string_view name) const;
};

// The value part of a line: `"name"=...` or `@=...`.
std::string formatValueLine(const NamedValue &v);

class Document
{
public:
    // nullopt when the text is not a well-formed store file.
    static std::optional<Document> parse(std::string_view text);
    std::string serialize() const;

    const std::vector<KeyEntry> &keys() const { return m_keys; }
    const KeyEntry *findKey(std::string_view fullPath) const;
    // The key is listed itself or has keys listed below it.
    bool keyExists(std::string_view fullPath) const;
    // Names of the keys directly below, in file order, without repeats.
    std::vector<std::string> childNames(std::string_view fullPath) const;

    // Creates the key and any missing parents below the root.
    KeyEntry &ensureKey(std::string_view fullPath);
    void setValue(std::string_view fullPath, const NamedValue &v);
    // Each returns whether anything was removed.
    bool removeKey(std::string_view fullPath);
    bool removeValue(std::string_view fullPath, std::string_view name);

private:
    std::vector<KeyEntry> m_keys;
};

} // namespace nv::reg::detail
