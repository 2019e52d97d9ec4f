// The directory that holds the running program, and the directory its
// settings live in.
#pragma once

#include "platform/runtime/userdirs.h"

#include <string>

namespace nv {

// The running executable's absolute path (from /proc/self/exe); empty when
// it cannot be determined.
std::string programPath();

// The directory of the running executable (from /proc/self/exe), without a
// trailing slash ("/" for the root). Looked up anew on every call. Raises
// nv::RuntimeError(76, path not found) when it cannot be determined.
std::string programDirectory();


// The two places a program's settings may live in.
struct SettingsRoots
{
    std::string programDir;     // the program's own directory
    std::string userConfigHome; // as userConfigHome() gives it
};

// The running program's roots, looked up now.
SettingsRoots runningProgramRoots();

// Where a program keeps its settings: its own directory where the user may
// write it (a build tree, a copy in the user's home), otherwise
// userConfigHome + "/norvale". A directory below /usr or /opt never counts
// as writable: the file-system hierarchy keeps those read-only to programs,
// root included, and a file left there outlives the package that put the
// program there. With no configuration home either, the program's directory.
std::string settingsDirectory(const SettingsRoots &roots);

// Creates `dir` and any missing parents, each with mode 0700 as the XDG
// directory rules ask. True when `dir` is a directory afterwards.
bool makeSettingsDirectory(const std::string &dir);

} // namespace nv
