#include "platform/com/client/classlist.h"

#include "platform/com/guid.h"
#include "platform/runtime/ascii.h"
#include "platform/runtime/posixfile.h"

#include <sys/stat.h>

namespace nv::com {

namespace {

constexpr const char *kModels[] = {"Apartment", "Both", "Free", "Neutral"};
constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// The first blank-separated field of `s`; `s` keeps the rest.
std::string_view takeField(std::string_view &s)
{
    s = trimmed(s);
    const std::size_t end = std::min(s.find_first_of(kBlanks), s.size());
    const std::string_view field = s.substr(0, end);
    s.remove_prefix(end);
    return field;
}

std::optional<std::string> knownModel(std::string_view model)
{
    for (const char *m : kModels)
        if (ascii::equalsIgnoringCase(model, m))
            return std::string(m);
    return std::nullopt;
}

// A class list is read whole, and only when it is a regular file of a sane
// size: a FIFO or a device in its place must not block or flood the program.
std::optional<std::string> readSmallFile(const std::string &path)
{
    posix::OpenedFile f = posix::openRegularForRead(path);
    std::string text;
    if (!f.ok() || std::size_t(f.info.st_size) > kMaxClassListSize ||
        posix::readCapped(f.fd.get(), kMaxClassListSize, text) != posix::ReadStatus::Ok)
        return std::nullopt;
    return text;
}

} // namespace

std::vector<ClassListEntry> parseClassList(std::string_view text)
{
    std::vector<ClassListEntry> entries;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (trimmed(line).empty() || trimmed(line).front() == '#')
            continue;
        const auto clsid = guidFromString(takeField(line));
        const auto model = knownModel(takeField(line));
        const std::string_view module = trimmed(line);
        if (!clsid || !model || module.empty() || module.find('\0') != std::string_view::npos)
            continue;
        entries.push_back({*clsid, *model, std::string(module)});
    }
    return entries;
}

std::string formatClassList(const std::string &program, const std::vector<ClassListEntry> &entries)
{
    std::string text = "# Classes of " + program +
                       ", found here before the registry store: class identifier,\n"
                       "# threading model, module relative to the program's directory.\n";
    for (const auto &e : entries)
        text += guidToString(e.clsid) + " " + e.threadingModel + " " + e.module + "\n";
    return text;
}

std::string classListFile(const std::string &programPath)
{
    return programPath + ".manifest";
}

std::vector<std::string> classListModules(const std::string &programPath, const GUID &clsid)
{
    std::vector<std::string> modules;
    const std::size_t slash = programPath.rfind('/');
    if (slash == std::string::npos)
        return modules;
    const auto text = readSmallFile(classListFile(programPath));
    if (!text)
        return modules;
    for (const auto &e : parseClassList(*text)) {
        if (!(e.clsid == clsid))
            continue;
        if (e.module.front() == '/')
            modules.push_back(e.module);
        else
            modules.push_back(programPath.substr(0, slash + 1) + e.module);
    }
    return modules;
}

} // namespace nv::com
