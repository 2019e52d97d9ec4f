// The user's places on the file system as the XDG base directory rules name
// them, shared by the registry store and the program's settings.
#pragma once

#include <string>

namespace nv {

// The value of an environment variable; empty when unset.
std::string envValue(const char *name);

// `dir` without trailing slashes ("/" stays "/").
std::string withoutTrailingSlashes(std::string dir);

// $HOME when it is an absolute path, else the password entry's home; empty
// when there is none.
std::string homeDirectory();

// The user's configuration home: $XDG_CONFIG_HOME when it is an absolute
// path (relative values are to be ignored), else $HOME/.config. Empty when
// there is no home at all.
std::string userConfigHome();

} // namespace nv
