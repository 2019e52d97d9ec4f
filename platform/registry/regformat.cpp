#include "regformat.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace nv::reg::detail {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (auto &c : out)
        c = lowerAscii(c);
    return out;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits, nothing else.
bool parseHex32(std::string_view s, uint32_t &out)
{
    if (s.empty() || s.size() > 8)
        return false;
    out = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0)
            return false;
        out = out * 16 + uint32_t(d);
    }
    return true;
}

} // namespace

bool parseHexList(std::string_view s, std::string &out)
{
    out.clear();
    s = trimLeft(trimRight(s));
    if (s.empty())
        return true;
    for (;;) {
        size_t comma = s.find(',');
        std::string_view item = trimLeft(trimRight(s.substr(0, comma)));
        uint32_t v;
        if (item.empty() || item.size() > 2 || !parseHex32(item, v))
            return false;
        out += char(v);
        if (comma == std::string_view::npos)
            return true;
        s.remove_prefix(comma + 1);
    }
}

namespace {

// A quoted string starting at s[pos] == '"' with the escapes \\ and \".
// On success pos is just past the closing quote.
bool parseQuoted(std::string_view s, size_t &pos, std::string &out)
{
    out.clear();
    if (pos >= s.size() || s[pos] != '"')
        return false;
    for (size_t i = pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return false;
            out += s[++i];
        } else {
            out += c;
        }
    }
    return false;
}

std::string quote(std::string_view s)
{
    std::string q = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            q += '\\';
        q += c;
    }
    q += '"';
    return q;
}

bool hasControlChars(std::string_view s)
{
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

// A text value can be written as "..." when its bytes are exactly one line of
// UTF-8 text and one terminating NUL; anything else is kept as hex(1).
bool isPlainText(const std::string &data)
{
    if (data.empty() || data.back() != '\0')
        return false;
    std::string_view body(data.data(), data.size() - 1);
    return body.find('\0') == std::string_view::npos && isValidUtf8(body) && !hasControlChars(body);
}

std::string hexList(const std::string &data)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(data.size() * 3);
    for (size_t i = 0; i < data.size(); ++i) {
        if (i)
            s += ',';
        auto b = static_cast<unsigned char>(data[i]);
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

bool isValidRootName(std::string_view root)
{
    if (root.size() <= 5 || !iequals(root.substr(0, 5), "HKEY_"))
        return false;
    return std::all_of(root.begin(), root.end(), [](char c) {
        return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

// Parses the data part of a value line. `lines`/`index` give access to the
// following lines for hex lists continued with a trailing backslash.
bool parseData(std::string_view data, const std::vector<std::string_view> &lines, size_t &index,
               Value &out)
{
    if (!data.empty() && data.front() == '"') {
        size_t pos = 0;
        std::string text;
        if (!parseQuoted(data, pos, text) || !trimRight(data.substr(pos)).empty())
            return false;
        out = Value::text(text);
        return true;
    }
    if (data.substr(0, 6) == "dword:") {
        uint32_t v;
        if (!parseHex32(trimRight(data.substr(6)), v))
            return false;
        out = Value::dword(v);
        return true;
    }
    if (data.substr(0, 3) != "hex")
        return false;
    data.remove_prefix(3);
    uint32_t type = REG_BINARY;
    if (!data.empty() && data.front() == '(') {
        size_t close = data.find(')');
        if (close == std::string_view::npos || !parseHex32(data.substr(1, close - 1), type))
            return false;
        data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != ':')
        return false;
    data.remove_prefix(1);
    std::string list(trimRight(data));
    while (!list.empty() && list.back() == '\\') {
        list.pop_back();
        if (index + 1 >= lines.size())
            return false;
        list += trimLeft(trimRight(lines[++index]));
    }
    out.type = type;
    return parseHexList(list, out.data);
}

} // namespace

bool iequals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool isAtOrBelow(std::string_view path, std::string_view prefix)
{
    return path.size() >= prefix.size() && iequals(path.substr(0, prefix.size()), prefix) &&
           (path.size() == prefix.size() || path[prefix.size()] == '\\');
}

bool isValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int n;
        uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i <= size_t(n))
            return false;
        for (int k = 1; k <= n; ++k) {
            auto cc = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const uint32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += size_t(n) + 1;
    }
    return true;
}

bool isValidKeyPath(std::string_view path)
{
    if (path.empty() || hasControlChars(path) || path.find('\t') != std::string_view::npos)
        return false;
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string_view::npos)
        return false;
    return isValidUtf8(path);
}

bool isValidValueName(std::string_view name)
{
    return !hasControlChars(name) && isValidUtf8(name);
}

const NamedValue *KeyEntry::findValue(std::string_view name) const
{
    for (const auto &v : values)
        if (iequals(v.name, name))
            return &v;
    return nullptr;
}

std::string formatValueLine(const NamedValue &v)
{
    std::string line = v.name.empty() ? std::string("@") : quote(v.name);
    line += '=';
    const Value &val = v.value;
    if (val.type == REG_SZ && isPlainText(val.data)) {
        line += quote(std::string_view(val.data.data(), val.data.size() - 1));
    } else if (val.type == REG_DWORD && val.data.size() == 4) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(val.data[size_t(i)]);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        line += buf;
    } else if (val.type == REG_BINARY) {
        line += "hex:" + hexList(val.data);
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", val.type);
        line += buf + hexList(val.data);
    }
    return line;
}

std::optional<Document> Document::parse(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    if (!isValidUtf8(text))
        return std::nullopt;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t')
            return std::nullopt;

    std::vector<std::string_view> lines;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty() || trimRight(lines[0]) != kFileHeader)
        return std::nullopt;

    Document doc;
    // Indexes by lower-cased name keep a hostile file with many keys or
    // values linear to read.
    std::unordered_map<std::string, size_t> keyIndex;
    std::vector<std::unordered_map<std::string, size_t>> valueIndex;
    size_t current = std::string::npos;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = trimRight(lines[i]);
        if (trimLeft(line).empty())
            continue;
        if (line.front() == '[') {
            if (line.size() < 3 || line.back() != ']')
                return std::nullopt;
            std::string_view path = line.substr(1, line.size() - 2);
            if (!isValidKeyPath(path) || !isValidRootName(path.substr(0, path.find('\\'))))
                return std::nullopt;
            auto [it, added] = keyIndex.emplace(lowered(path), doc.m_keys.size());
            if (added) {
                doc.m_keys.push_back(KeyEntry{std::string(path), {}});
                valueIndex.emplace_back();
            }
            current = it->second; // a repeated header adds to the first one
            continue;
        }
        if (current == std::string::npos)
            return std::nullopt;
        NamedValue nv;
        size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!parseQuoted(line, pos, nv.name)) {
            return std::nullopt;
        }
        if (pos >= line.size() || line[pos] != '=')
            return std::nullopt;
        if (!parseData(line.substr(pos + 1), lines, i, nv.value))
            return std::nullopt;
        auto &values = doc.m_keys[current].values;
        auto [it, added] = valueIndex[current].emplace(lowered(nv.name), values.size());
        if (added)
            values.push_back(std::move(nv));
        else
            values[it->second].value = std::move(nv.value);
    }
    return doc;
}

std::string Document::serialize() const
{
    std::string out(kFileHeader);
    out += "\n\n";
    for (const auto &k : m_keys) {
        out += '[';
        out += k.path;
        out += "]\n";
        for (const auto &v : k.values) {
            out += formatValueLine(v);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

const KeyEntry *Document::findKey(std::string_view fullPath) const
{
    for (const auto &k : m_keys)
        if (iequals(k.path, fullPath))
            return &k;
    return nullptr;
}

bool Document::keyExists(std::string_view fullPath) const
{
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [&](const KeyEntry &k) { return isAtOrBelow(k.path, fullPath); });
}

std::vector<std::string> Document::childNames(std::string_view fullPath) const
{
    std::vector<std::string> names;
    for (const auto &k : m_keys) {
        if (k.path.size() <= fullPath.size() || !isAtOrBelow(k.path, fullPath))
            continue;
        std::string_view rest = std::string_view(k.path).substr(fullPath.size() + 1);
        std::string_view name = rest.substr(0, rest.find('\\'));
        if (std::none_of(names.begin(), names.end(),
                         [&](const std::string &n) { return iequals(n, name); }))
            names.emplace_back(name);
    }
    return names;
}

KeyEntry &Document::ensureKey(std::string_view fullPath)
{
    for (auto &k : m_keys)
        if (iequals(k.path, fullPath))
            return k;
    size_t slash = fullPath.rfind('\\');
    size_t at = m_keys.size();
    if (slash != std::string_view::npos) {
        std::string_view parent = fullPath.substr(0, slash);
        if (parent.find('\\') != std::string_view::npos)
            ensureKey(parent);
        // Keep a key beside its siblings: after the last key of its parent's tree.
        for (size_t i = m_keys.size(); i-- > 0;) {
            if (isAtOrBelow(m_keys[i].path, parent)) {
                at = i + 1;
                break;
            }
        }
    }
    return *m_keys.insert(m_keys.begin() + std::ptrdiff_t(at), KeyEntry{std::string(fullPath), {}});
}

void Document::setValue(std::string_view fullPath, const NamedValue &v)
{
    KeyEntry &k = ensureKey(fullPath);
    for (auto &existing : k.values) {
        if (iequals(existing.name, v.name)) {
            existing.value = v.value;
            return;
        }
    }
    k.values.push_back(v);
}

bool Document::removeKey(std::string_view fullPath)
{
    size_t before = m_keys.size();
    std::erase_if(m_keys, [&](const KeyEntry &k) { return isAtOrBelow(k.path, fullPath); });
    return m_keys.size() != before;
}

bool Document::removeValue(std::string_view fullPath, std::string_view name)
{
    for (auto &k : m_keys) {
        if (!iequals(k.path, fullPath))
            continue;
        size_t before = k.values.size();
        std::erase_if(k.values, [&](const NamedValue &v) { return iequals(v.name, name); });
        return k.values.size() != before;
    }
    return false;
}

} // namespace nv::reg::detail
