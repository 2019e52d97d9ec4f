// The application-local class list: a small text file beside a program,
// named after it with ".manifest" added (norvale3.manifest), that names the
// classes the program creates and the module of each, relative to the
// program's directory. The runtime looks a class up there before the
// registry store, so a program can carry its modules with it and run without
// any registration (the build tree's program does so).
//
// One class a line, three fields separated by blanks:
//
//     {94512CCE-8FFE-11D4-A04F-00E0296E03A7} Apartment ../lib/norvale/nvdigits10.so
//
// the class identifier, the threading model (Apartment, Both, Free or
// Neutral) and the module; the module is the rest of the line, so it may
// hold blanks. Empty lines and lines starting with "#" are comments; a line
// that does not read so is skipped. Three fields a line need no parser of
// their own; the platform's XML form would bring an XML reader into every
// client of the runtime for the same three values.
#pragma once

#include "platform/com/comtypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::com {

struct ClassListEntry
{
    GUID clsid{};
    std::string threadingModel;
    std::string module; // as written: relative to the program's directory, or absolute
};

// The entries of a class list's text, in order; lines that do not read are skipped.
std::vector<ClassListEntry> parseClassList(std::string_view text);

// The text of a class list holding `entries`, under a comment line naming `program`.
std::string formatClassList(const std::string &program, const std::vector<ClassListEntry> &entries);

// The class list of the program at `programPath`: programPath + ".manifest".
std::string classListFile(const std::string &programPath);

// Above this size a class list is not read (a real one is a few lines).
constexpr std::size_t kMaxClassListSize = 64 * 1024;

// The modules the class list of the program at `programPath` names for
// `clsid`, as absolute paths in the list's order (a class may be listed more
// than once: the runtime takes the first whose file is there); none when
// there is no list, the list cannot be read, or it does not name the class.
std::vector<std::string> classListModules(const std::string &programPath, const GUID &clsid);

} // namespace nv::com
