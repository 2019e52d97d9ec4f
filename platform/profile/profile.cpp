#include "platform/profile/profile.h"

#include "platform/runtime/ascii.h"
#include "platform/runtime/posixfile.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace nv {
namespace profile {
namespace {

// ---- text helpers -------------------------------------------------------

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Names passed by a caller lose their spaces only; a tab is part of the name.
std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool hasLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// ---- lines --------------------------------------------------------------

// One line of the file: its text runs from begin to contentEnd, its line end
// (CR LF, LF, CR, or nothing on an unterminated last line) up to next.
struct LineRef
{
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t next = 0;
    bool terminated() const { return next > contentEnd; }
};

bool lineAt(std::string_view text, std::size_t pos, LineRef &line)
{
    if (pos >= text.size())
        return false;
    std::size_t end = text.find_first_of("\r\n", pos);
    line.begin = pos;
    if (end == std::string_view::npos) {
        line.contentEnd = line.next = text.size();
    } else {
        line.contentEnd = end;
        line.next = end + 1;
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            line.next = end + 2;
    }
    return true;
}

enum class LineKind { Other, Header, Key };

struct Parsed
{
    LineKind kind = LineKind::Other;
    std::string_view name;      // section or key name, blanks trimmed
    std::size_t valueStart = 0; // offset in the line of what follows the '='
};

// Blank lines, comments (first non-blank is ';'), a '[' without ']' and lines
// without '=' are nothing to the reader.
Parsed classify(std::string_view content)
{
    Parsed p;
    std::size_t i = 0;
    while (i < content.size() && isBlank(content[i]))
        ++i;
    if (i == content.size() || content[i] == ';')
        return p;
    if (content[i] == '[') {
        std::size_t close = content.find(']', i + 1);
        if (close == std::string_view::npos)
            return p;
        p.kind = LineKind::Header;
        p.name = trimBlanks(content.substr(i + 1, close - i - 1));
        return p;
    }
    std::size_t eq = content.find('=');
    if (eq == std::string_view::npos)
        return p;
    p.kind = LineKind::Key;
    p.name = trimBlanks(content.substr(0, eq));
    p.valueStart = eq + 1;
    return p;
}

std::string_view deliveredValue(std::string_view raw)
{
    std::string_view v = trimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

// Where a section and a key sit in a file. Only the first section of the
// name is looked at, and in it the first key of the name.
struct Location
{
    bool sectionFound = false;
    LineRef header;
    bool hasKeyLine = false;
    LineRef lastKeyLine;
    bool keyFound = false;
    LineRef keyLine;
    std::size_t keyValueStart = 0;
};

Location locate(std::string_view text, std::string_view section, std::string_view key)
{
    Location loc;
    bool inSection = false;
    LineRef line;
    for (std::size_t pos = 0; lineAt(text, pos, line); pos = line.next) {
        Parsed p = classify(text.substr(line.begin, line.contentEnd - line.begin));
        if (p.kind == LineKind::Header) {
            if (inSection)
                break;
            if (ascii::equalsIgnoringCase(p.name, section)) {
                inSection = loc.sectionFound = true;
                loc.header = line;
            }
        } else if (p.kind == LineKind::Key && inSection) {
            loc.hasKeyLine = true;
            loc.lastKeyLine = line;
            if (!loc.keyFound && ascii::equalsIgnoringCase(p.name, key)) {
                loc.keyFound = true;
                loc.keyLine = line;
                loc.keyValueStart = p.valueStart;
            }
        }
    }
    return loc;
}

// ---- file access --------------------------------------------------------

enum class Load { Ok, Missing, NotAFile, TooLarge, Error };

// Reads a whole regular file of at most kMaxProfileFileSize bytes; anything
// but a regular file (a FIFO could block the caller) is not read at all.
Load loadFile(const std::string &path, std::string &out, struct stat *info)
{
    out.clear();
    posix::OpenedFile f = posix::openRegularForRead(path);
    if (!f.ok()) {
        if (f.missing())
            return Load::Missing;
        return f.error ? Load::Error : Load::NotAFile;
    }
    if (info)
        *info = f.info;
    if (std::size_t(f.info.st_size) > kMaxProfileFileSize)
        return Load::TooLarge;
    out.reserve(std::size_t(f.info.st_size));
    switch (posix::readCapped(f.fd.get(), kMaxProfileFileSize, out)) {
    case posix::ReadStatus::Ok:
        return Load::Ok;
    case posix::ReadStatus::TooLarge: // it grew while it was read
        return Load::TooLarge;
    case posix::ReadStatus::Error:
        break;
    }
    return Load::Error;
}

// The line end new lines get: the file's own first one, LF in a file without.
std::string_view fileLineEnd(std::string_view text)
{
    std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos || text[end] == '\n')
        return "\n";
    return end + 1 < text.size() && text[end + 1] == '\n' ? "\r\n" : "\r";
}

// A name the writer may put in the file: one that reads back as itself and
// cannot be taken for other structure.
bool writableSection(std::string_view name)
{
    return !hasLineBreakOrNul(name) && name.find(']') == std::string_view::npos &&
           trimBlanks(name).size() == name.size();
}

bool writableKey(std::string_view name)
{
    if (hasLineBreakOrNul(name) || name.find('=') != std::string_view::npos ||
        trimBlanks(name).size() != name.size())
        return false;
    // A line starting so would be a comment or a section line.
    return name.empty() || (name.front() != ';' && name.front() != '[');
}

std::string editedText(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value)
{
    const Location loc = locate(text, section, key);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    if (loc.keyFound) {
        // A line that already reads as the value keeps its own layout.
        const std::string_view current =
            text.substr(loc.keyLine.begin + loc.keyValueStart,
                        loc.keyLine.contentEnd - loc.keyLine.begin - loc.keyValueStart);
        if (deliveredValue(current) == value && deliveredValue(value) == value)
            return std::string(text);
        // Keep the key's spelling and the layout around '='; replace the rest.
        std::size_t start = loc.keyLine.begin + loc.keyValueStart;
        while (start < loc.keyLine.contentEnd && isBlank(text[start]))
            ++start;
        out.append(text.substr(0, start));
        out.append(value);
        out.append(text.substr(loc.keyLine.contentEnd));
        return out;
    }
    if (loc.sectionFound) {
        const LineRef &anchor = loc.hasKeyLine ? loc.lastKeyLine : loc.header;
        out.append(text.substr(0, anchor.next));
        if (anchor.terminated()) {
            // The anchor's own line end: never a lone CR before an LF.
            out.append(key).append("=").append(value);
            out.append(text.substr(anchor.contentEnd, anchor.next - anchor.contentEnd));
        } else {
            out.append(fileLineEnd(text)).append(key).append("=").append(value);
        }
        out.append(text.substr(anchor.next));
        return out;
    }
    std::string_view eol = fileLineEnd(text);
    out.append(text);
    if (!text.empty() && text.back() != '\n' && text.back() != '\r')
        out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
    return out;
}

} // namespace

std::optional<std::string> readValue(std::string_view section, std::string_view key,
                                     const std::string &fileName)
{
    std::string text;
    if (fileName.empty() || loadFile(fileName, text, nullptr) != Load::Ok)
        return std::nullopt;
    const Location loc = locate(text, trimSpaces(section), trimSpaces(key));
    if (!loc.keyFound)
        return std::nullopt;
    std::string_view line(text.data() + loc.keyLine.begin,
                          loc.keyLine.contentEnd - loc.keyLine.begin);
    return std::string(deliveredValue(line.substr(loc.keyValueStart)));
}

std::string readString(std::string_view section, std::string_view key, std::string_view defaultText,
                       const std::string &fileName)
{
    if (auto v = readValue(section, key, fileName))
        return std::move(*v);
    return std::string(defaultText);
}

WriteStatus writeValue(std::string_view sectionIn, std::string_view keyIn, std::string_view value,
                       const std::string &fileName)
{
    const std::string_view section = trimSpaces(sectionIn);
    const std::string_view key = trimSpaces(keyIn);
    if (!writableSection(section) || !writableKey(key) || hasLineBreakOrNul(value))
        return WriteStatus::BadText;
    if (fileName.empty() || fileName.find('\0') != std::string::npos)
        return WriteStatus::Failed;

    // A link is written through to its file, so that the link stays a link.
    const std::optional<std::string> resolved = posix::writeTarget(fileName);
    if (!resolved)
        return WriteStatus::NotAFile; // a dangling link is not replaced
    const std::string &target = *resolved;

    std::string text;
    struct stat info;
    const Load load = loadFile(target, text, &info);
    switch (load) {
    case Load::NotAFile:
        return WriteStatus::NotAFile;
    case Load::TooLarge:
        return WriteStatus::TooLarge;
    case Load::Error:
        return WriteStatus::Failed;
    case Load::Missing:
    case Load::Ok:
        break;
    }
    const bool exists = load == Load::Ok;
    if (exists) {
        // Root passes the kernel's check, yet a file without any write bit is
        // meant to stay as it is.
        if (posix::replaceRefusal(target, info) != 0)
            return WriteStatus::ReadOnly;
    }

    std::string edited = editedText(text, section, key, value);
    if (exists && edited == text)
        return WriteStatus::Written;
    if (edited.size() > kMaxProfileFileSize)
        return WriteStatus::TooLarge;
    return posix::replaceFile(target, edited, exists ? &info : nullptr) == 0 ? WriteStatus::Written
                                                                             : WriteStatus::Failed;
}

} // namespace profile

uint32_t GetPrivateProfileStringA(const char *section, const char *key, const char *defaultText,
                                  char *buffer, uint32_t size, const char *fileName)
{
    if (!buffer || size == 0)
        return 0;
    std::string value;
    std::optional<std::string> found;
    if (section && key && fileName)
        found = profile::readValue(section, key, fileName);
    if (found)
        value = std::move(*found);
    else if (defaultText)
        value = defaultText;
    const std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return uint32_t(n);
}

bool WritePrivateProfileStringA(const char *section, const char *key, const char *value,
                                const char *fileName)
{
    if (!section || !key || !value || !fileName)
        return false;
    return profile::writeString(section, key, value, fileName);
}

} // namespace nv
