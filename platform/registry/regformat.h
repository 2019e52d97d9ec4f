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
//
// Files are read as the platform's editor writes them (UTF-16LE with a byte
// order mark) and in UTF-8 with or without a mark, with LF, CRLF or CR line
// ends. They are always written in the store's own form: UTF-8 without a
// mark, LF line ends, long hex lists continued over lines of 80 columns.
#pragma once

#include "platform/registry/registry.h"
#include "platform/runtime/ascii.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nv::reg::detail {

constexpr std::string_view kFileHeader = "Windows Registry Editor Version 5.00";

// The limits every store file is held to, by the reader and by the writer
// alike, so that no write can leave a file the reader refuses.
// A store of ours holds a few kilobytes; 16 MiB leaves room for a hundred
// thousand keys while a read of the whole file stays far below a second.
constexpr std::size_t kMaxStoreFileSize = std::size_t(16) << 20;
// The platform's own registry nests keys at most 512 levels deep, so every
// real export fits; nothing of ours goes beyond six.
constexpr std::size_t kMaxKeyDepth = 512;
// The platform's editor writes a text value on one line; values beyond a
// megabyte do not occur in practice. Our own hex lists are wrapped, and a
// text too long for one line is written as hex, so only names can reach it.
constexpr std::size_t kMaxLineLength = std::size_t(1) << 20;

using ascii::equalsIgnoringCase;

// True when `path` is `prefix` itself or lies below it.
bool isAtOrBelow(std::string_view path, std::string_view prefix);
bool isValidUtf8(std::string_view s);
// A key path of names joined by "\": no empty names, no control characters.
bool isValidKeyPath(std::string_view path);
bool isValidValueName(std::string_view name);
// The number of names below the root in a full key path ("HKEY_X\A\B" is 2).
std::size_t keyDepth(std::string_view fullPath);
// Bytes written as "aa,bb,cc" (an empty text is no bytes).
bool parseHexList(std::string_view s, std::string &out);

struct NamedValue
{
    std::string name; // "" is the default value
    Value value;

    bool operator==(const NamedValue &) const = default;
};

struct KeyEntry
{
    std::string path; // full path, "HKEY_CLASSES_ROOT\CLSID"
    std::vector<NamedValue> values;

    const NamedValue *findValue(std::string_view name) const;
    bool operator==(const KeyEntry &) const = default;
};

// The value part of a line: `"name"=...` or `@=...`. `wrapped` gives the form
// a file holds: hex lists continued over lines, over-long text as hex.
std::string formatValueLine(const NamedValue &v, bool wrapped = false);

// Why a text is not a store file, and where reading stopped.
struct ParseProblem
{
    enum class Kind { Malformed, TooLarge, LineTooLong, TooDeep };
    Kind kind = Kind::Malformed;
    std::size_t line = 0; // 1-based; 0 for the text as a whole
    std::string reason;
};

// The first limit the text breaks (size, line length, key depth), if any.
std::optional<ParseProblem> checkLimits(std::string_view text);

class Document
{
public:
    Document();
    Document(const Document &other);
    Document &operator=(const Document &other);
    Document(Document &&) noexcept = default;
    Document &operator=(Document &&) noexcept = default;

    // nullopt when the text is not a well-formed store file within the
    // limits; *problem then says why and where.
    static std::optional<Document> parse(std::string_view text, ParseProblem *problem = nullptr);
    std::string serialize() const;

    const std::list<KeyEntry> &keys() const { return m_keys; }
    const KeyEntry *findKey(std::string_view fullPath) const;
    // The key is listed itself or has keys listed below it.
    bool keyExists(std::string_view fullPath) const;
    // Names of the keys directly below, in file order, without repeats.
    std::vector<std::string> childNames(std::string_view fullPath) const;

    // Creates the key and any missing parents below the root. A new key goes
    // after the last key of its parent's tree.
    KeyEntry &ensureKey(std::string_view fullPath);
    void setValue(std::string_view fullPath, const NamedValue &v);
    // Each returns whether anything was removed.
    bool removeKey(std::string_view fullPath);
    bool removeValue(std::string_view fullPath, std::string_view name);

    bool operator==(const Document &other) const { return m_keys == other.m_keys; }

private:
    // The tree of names over the listed keys, so that lookups, child lists
    // and insertions do not scan the whole list. Nodes live in one vector and
    // refer to each other by index: no walk of it recurses.
    struct NameHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const;
    };
    struct NameEqual
    {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const
        {
            return equalsIgnoringCase(a, b);
        }
    };
    using KeyIt = std::list<KeyEntry>::iterator;
    struct Node
    {
        std::uint32_t parent = 0;
        std::string name; // spelled as the first key below it spells it
        std::unordered_map<std::string, std::uint32_t, NameHash, NameEqual> children;
        std::vector<std::uint32_t> order; // children by first appearance in the file
        bool listed = false;              // entry is the key itself
        KeyIt entry;
        bool hasLast = false; // last is the last key in file order at or below
        KeyIt last;
    };

    std::optional<std::uint32_t> findNode(std::string_view fullPath) const;
    std::uint32_t childNode(std::uint32_t parent, std::string_view name);
    // The node of a full path, created with its parents as needed.
    std::uint32_t pathNode(std::string_view fullPath);
    // Lists a new key for `node` before `pos` and moves the ends of the trees
    // that now end with it.
    KeyIt listKey(std::uint32_t node, std::string_view fullPath, KeyIt pos);
    // The key as the file names it, listed at the end unless it already is.
    KeyEntry &listAtEnd(std::string_view fullPath);
    void rebuildIndex();

    std::list<KeyEntry> m_keys;
    std::vector<Node> m_nodes; // m_nodes[0] stands above the roots
};

} // namespace nv::reg::detail
