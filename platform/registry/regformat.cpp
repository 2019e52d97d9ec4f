#include "platform/registry/regformat.h"

#include <algorithm>
#include <cstdio>

namespace nv::reg::detail {

namespace {

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

// 1 to 8 hex digits, nothing else.
bool parseHex32(std::string_view s, uint32_t &out)
{
    if (s.empty() || s.size() > 8)
        return false;
    out = 0;
    for (char c : s) {
        int d = ascii::hexDigitValue(c);
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

// Exports wrap hex lists so that no line passes 80 columns; `column` is where
// the list starts on its first line.
constexpr size_t kWrapColumn = 80;

std::string hexList(const std::string &data, bool wrapped, size_t column)
{
    std::string s;
    s.reserve(data.size() * 3 + data.size() / 24 * 4);
    for (size_t i = 0; i < data.size(); ++i) {
        if (i) {
            s += ',';
            ++column;
            // Room for "xx," and the continuation mark.
            if (wrapped && column + 4 > kWrapColumn) {
                s += "\\\n  ";
                column = 2;
            }
        }
        auto b = static_cast<unsigned char>(data[i]);
        s += nv::ascii::lowerHexDigit(b >> 4);
        s += nv::ascii::lowerHexDigit(b);
        column += 2;
    }
    return s;
}

bool isValidRootName(std::string_view root)
{
    if (root.size() <= 5 || !equalsIgnoringCase(root.substr(0, 5), "HKEY_"))
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

// Splits at LF, CRLF or a lone CR.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

void appendUtf8(std::string &out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// UTF-16LE (after its mark) as UTF-8; on a broken text, the line it breaks in.
std::optional<std::string> decodeUtf16(std::string_view bytes, ParseProblem *problem)
{
    std::string out;
    out.reserve(bytes.size() / 2 * 3);
    size_t line = 1;
    auto fail = [&](const char *why) {
        if (problem)
            *problem = {ParseProblem::Kind::Malformed, line, why};
        return std::nullopt;
    };
    auto unit = [&](size_t i) {
        return uint32_t(static_cast<unsigned char>(bytes[i])) |
               (uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        uint32_t cp = unit(i);
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            return fail("a broken UTF-16 surrogate pair");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 >= bytes.size())
                return fail("a broken UTF-16 surrogate pair");
            uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return fail("a broken UTF-16 surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (cp == '\n')
            ++line;
        appendUtf8(out, cp);
    }
    if (i != bytes.size())
        return fail("the UTF-16 text ends in half a character");
    return out;
}

ParseProblem problemAt(size_t line, std::string reason)
{
    return ParseProblem{ParseProblem::Kind::Malformed, line, std::move(reason)};
}

std::string mebibytes(size_t n)
{
    return std::to_string(n >> 20) + " MiB";
}

std::optional<ParseProblem> checkLines(const std::vector<std::string_view> &lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.size() > kMaxLineLength)
            return ParseProblem{ParseProblem::Kind::LineTooLong, i + 1,
                                "a line longer than " + mebibytes(kMaxLineLength)};
        if (!line.empty() && line.front() == '[' && keyDepth(line) > kMaxKeyDepth)
            return ParseProblem{ParseProblem::Kind::TooDeep, i + 1,
                                "a key nested deeper than " + std::to_string(kMaxKeyDepth) +
                                    " levels"};
    }
    return std::nullopt;
}

} // namespace

bool isAtOrBelow(std::string_view path, std::string_view prefix)
{
    return path.size() >= prefix.size() &&
           equalsIgnoringCase(path.substr(0, prefix.size()), prefix) &&
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

size_t keyDepth(std::string_view fullPath)
{
    return size_t(std::count(fullPath.begin(), fullPath.end(), '\\'));
}

const NamedValue *KeyEntry::findValue(std::string_view name) const
{
    for (const auto &v : values)
        if (equalsIgnoringCase(v.name, name))
            return &v;
    return nullptr;
}

std::string formatValueLine(const NamedValue &v, bool wrapped)
{
    std::string line = v.name.empty() ? std::string("@") : quote(v.name);
    line += '=';
    const Value &val = v.value;
    if (val.type == REG_SZ && isPlainText(val.data)) {
        std::string quoted = quote(std::string_view(val.data.data(), val.data.size() - 1));
        if (!wrapped || line.size() + quoted.size() <= kMaxLineLength)
            return line + quoted;
    }
    if (val.type == REG_DWORD && val.data.size() == 4) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(val.data[size_t(i)]);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        line += buf;
    } else if (val.type == REG_BINARY) {
        line += "hex:";
        line += hexList(val.data, wrapped, line.size());
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", val.type);
        line += buf;
        line += hexList(val.data, wrapped, line.size());
    }
    return line;
}

std::optional<ParseProblem> checkLimits(std::string_view text)
{
    if (text.size() > kMaxStoreFileSize)
        return ParseProblem{ParseProblem::Kind::TooLarge, 0,
                            "larger than " + mebibytes(kMaxStoreFileSize)};
    return checkLines(splitLines(text));
}

// ---- Document ---------------------------------------------------------------

std::size_t Document::NameHash::operator()(std::string_view s) const
{
    std::size_t h = 14695981039346656037ull; // FNV-1a over the lower-cased bytes
    for (char c : s) {
        h ^= static_cast<unsigned char>(ascii::toLower(c));
        h *= 1099511628211ull;
    }
    return h;
}

Document::Document() : m_nodes(1) {}

Document::Document(const Document &other) : m_keys(other.m_keys)
{
    rebuildIndex();
}

Document &Document::operator=(const Document &other)
{
    if (this != &other) {
        m_keys = other.m_keys;
        rebuildIndex();
    }
    return *this;
}

std::optional<std::uint32_t> Document::findNode(std::string_view fullPath) const
{
    if (m_nodes.empty()) // moved from
        return std::nullopt;
    std::uint32_t node = 0;
    for (;;) {
        size_t slash = fullPath.find('\\');
        std::string_view name = fullPath.substr(0, slash);
        const auto &children = m_nodes[node].children;
        auto it = children.find(name);
        if (it == children.end())
            return std::nullopt;
        node = it->second;
        if (slash == std::string_view::npos)
            return node;
        fullPath.remove_prefix(slash + 1);
    }
}

std::uint32_t Document::childNode(std::uint32_t parent, std::string_view name)
{
    if (m_nodes.empty()) // moved from
        m_nodes.emplace_back();
    auto it = m_nodes[parent].children.find(name);
    if (it != m_nodes[parent].children.end())
        return it->second;
    auto index = std::uint32_t(m_nodes.size());
    Node node;
    node.parent = parent;
    node.name = std::string(name);
    m_nodes.push_back(std::move(node));
    m_nodes[parent].children.emplace(std::string(name), index);
    m_nodes[parent].order.push_back(index);
    return index;
}

Document::KeyIt Document::listKey(std::uint32_t node, std::string_view fullPath, KeyIt pos)
{
    const bool atEnd = pos == m_keys.end();
    // The key the new one follows: every tree that ended with it ends with
    // the new one now; at the very end every tree above does.
    const KeyIt before = atEnd || pos == m_keys.begin() ? m_keys.end() : std::prev(pos);
    KeyIt it = m_keys.insert(pos, KeyEntry{std::string(fullPath), {}});
    m_nodes[node].listed = true;
    m_nodes[node].entry = it;
    for (std::uint32_t n = node;; n = m_nodes[n].parent) {
        Node &a = m_nodes[n];
        if (atEnd || !a.hasLast || (before != m_keys.end() && a.last == before)) {
            a.last = it;
            a.hasLast = true;
        }
        if (n == 0)
            break;
    }
    return it;
}

std::uint32_t Document::pathNode(std::string_view fullPath)
{
    std::uint32_t node = 0;
    for (;;) {
        size_t slash = fullPath.find('\\');
        node = childNode(node, fullPath.substr(0, slash));
        if (slash == std::string_view::npos)
            return node;
        fullPath.remove_prefix(slash + 1);
    }
}

KeyEntry &Document::listAtEnd(std::string_view fullPath)
{
    const std::uint32_t node = pathNode(fullPath);
    if (!m_nodes[node].listed)
        listKey(node, fullPath, m_keys.end());
    return *m_nodes[node].entry;
}

void Document::rebuildIndex()
{
    m_nodes.assign(1, Node());
    for (KeyIt it = m_keys.begin(); it != m_keys.end(); ++it) {
        const std::uint32_t node = pathNode(it->path);
        if (!m_nodes[node].listed) {
            m_nodes[node].listed = true;
            m_nodes[node].entry = it;
        }
        for (std::uint32_t n = node;; n = m_nodes[n].parent) {
            m_nodes[n].last = it;
            m_nodes[n].hasLast = true;
            if (n == 0)
                break;
        }
    }
}

std::optional<Document> Document::parse(std::string_view raw, ParseProblem *problem)
{
    auto fail = [&](ParseProblem p) -> std::optional<Document> {
        if (problem)
            *problem = std::move(p);
        return std::nullopt;
    };
    std::string decoded;
    std::string_view text = raw;
    if (raw.substr(0, 2) == "\xFF\xFE") {
        ParseProblem p;
        auto utf8 = decodeUtf16(raw.substr(2), &p);
        if (!utf8)
            return fail(p);
        decoded = std::move(*utf8);
        text = decoded;
    } else if (raw.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    if (text.size() > kMaxStoreFileSize)
        return fail(
            {ParseProblem::Kind::TooLarge, 0, "larger than " + mebibytes(kMaxStoreFileSize)});

    const std::vector<std::string_view> lines = splitLines(text);
    if (auto p = checkLines(lines))
        return fail(*p);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!isValidUtf8(lines[i]))
            return fail(problemAt(i + 1, "text that is not UTF-8"));
        if (std::any_of(lines[i].begin(), lines[i].end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }))
            return fail(problemAt(i + 1, "a control character"));
    }
    if (trimRight(lines[0]) != kFileHeader)
        return fail(problemAt(1, "not a store file: the first line is not \"" +
                                     std::string(kFileHeader) + "\""));

    Document doc;
    // Keys with many values get an index by name, so that a hostile file with
    // many values stays linear to read; the few values of others are scanned.
    constexpr size_t kIndexedValues = 16;
    std::unordered_map<const KeyEntry *,
                       std::unordered_map<std::string, size_t, NameHash, NameEqual>>
        valueIndex;
    KeyEntry *current = nullptr;
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t lineNumber = i + 1;
        std::string_view line = trimRight(lines[i]);
        if (trimLeft(line).empty())
            continue;
        if (line.front() == '[') {
            if (line.size() < 3 || line.back() != ']')
                return fail(problemAt(lineNumber, "a key line without its closing ]"));
            std::string_view path = line.substr(1, line.size() - 2);
            if (!isValidKeyPath(path) || !isValidRootName(path.substr(0, path.find('\\'))))
                return fail(problemAt(lineNumber, "a malformed key path"));
            current = &doc.listAtEnd(path); // a repeated header adds to the first one
            continue;
        }
        if (!current)
            return fail(problemAt(lineNumber, "a value before the first key"));
        NamedValue nv;
        size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!parseQuoted(line, pos, nv.name)) {
            return fail(problemAt(lineNumber, "a line that is neither a key nor a value"));
        }
        if (pos >= line.size() || line[pos] != '=')
            return fail(problemAt(lineNumber, "a value name without \"=\""));
        if (!parseData(line.substr(pos + 1), lines, i, nv.value))
            return fail(problemAt(lineNumber, "malformed value data"));
        // A repeated name replaces the earlier value.
        auto &values = current->values;
        size_t at = values.size();
        if (values.size() < kIndexedValues) {
            for (size_t k = 0; k < values.size() && at == values.size(); ++k)
                if (equalsIgnoringCase(values[k].name, nv.name))
                    at = k;
        } else {
            auto &index = valueIndex[current];
            for (size_t k = index.size(); k < values.size(); ++k)
                index.emplace(values[k].name, k);
            auto it = index.find(nv.name);
            if (it != index.end())
                at = it->second;
        }
        if (at == values.size())
            values.push_back(std::move(nv));
        else
            values[at].value = std::move(nv.value);
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
            out += formatValueLine(v, true);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

const KeyEntry *Document::findKey(std::string_view fullPath) const
{
    auto node = findNode(fullPath);
    return node && m_nodes[*node].listed ? &*m_nodes[*node].entry : nullptr;
}

bool Document::keyExists(std::string_view fullPath) const
{
    auto node = findNode(fullPath);
    return node && m_nodes[*node].hasLast;
}

std::vector<std::string> Document::childNames(std::string_view fullPath) const
{
    std::vector<std::string> names;
    auto node = findNode(fullPath);
    if (!node)
        return names;
    for (std::uint32_t child : m_nodes[*node].order)
        names.push_back(m_nodes[child].name);
    return names;
}

KeyEntry &Document::ensureKey(std::string_view fullPath)
{
    std::uint32_t node = 0;
    std::string_view rest = fullPath;
    size_t consumed = 0;
    for (;;) {
        size_t slash = rest.find('\\');
        std::string_view name = rest.substr(0, slash);
        const std::uint32_t parent = node;
        node = childNode(parent, name);
        consumed += name.size();
        const bool last = slash == std::string_view::npos;
        // Every key below the root is listed; the root only when asked for.
        if (!m_nodes[node].listed && (parent != 0 || last)) {
            const Node &p = m_nodes[parent];
            KeyIt pos = parent != 0 && p.hasLast ? std::next(p.last) : m_keys.end();
            listKey(node, fullPath.substr(0, consumed), pos);
        }
        if (last)
            return *m_nodes[node].entry;
        rest.remove_prefix(slash + 1);
        ++consumed;
    }
}

void Document::setValue(std::string_view fullPath, const NamedValue &v)
{
    KeyEntry &k = ensureKey(fullPath);
    for (auto &existing : k.values) {
        if (equalsIgnoringCase(existing.name, v.name)) {
            existing.value = v.value;
            return;
        }
    }
    k.values.push_back(v);
}

bool Document::removeKey(std::string_view fullPath)
{
    if (!keyExists(fullPath))
        return false;
    m_keys.remove_if([&](const KeyEntry &k) { return isAtOrBelow(k.path, fullPath); });
    rebuildIndex();
    return true;
}

bool Document::removeValue(std::string_view fullPath, std::string_view name)
{
    auto node = findNode(fullPath);
    if (!node || !m_nodes[*node].listed)
        return false;
    auto &values = m_nodes[*node].entry->values;
    size_t before = values.size();
    std::erase_if(values, [&](const NamedValue &v) { return equalsIgnoringCase(v.name, name); });
    return values.size() != before;
}

} // namespace nv::reg::detail
