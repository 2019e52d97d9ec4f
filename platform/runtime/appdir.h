// The directory that holds the running program: where its settings live.
#pragma once

#include <string>

namespace nv {

// The directory of the running executable (from /proc/self/exe), without a
// trailing slash ("/" for the root). Looked up anew on every call. Raises
// nv::RuntimeError(76, path not found) when it cannot be determined.
std::string programDirectory();

// Makes programDirectory() answer `dir` (tests point it at a scratch
// directory); an empty text restores the real lookup.
void setProgramDirectoryForTesting(std::string dir);

} // namespace nv
