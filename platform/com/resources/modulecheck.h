// The check every module file passes before it is loaded, shared by the
// component runtime and norvale-reg. dlopen trusts the file it maps: a FIFO
// makes it wait for ever, and a file cut short makes the loader touch pages
// past its end, which kills the process with SIGBUS. So a module must be a
// regular file (opened without blocking) holding a 64-bit ELF shared object
// for this machine whose program headers and every segment with contents in
// the file lie inside it. Anything else is refused with a status and a text.
//
// The module is then loaded through the descriptor that was checked, never
// by its name again, so a file put in its place after the check is not what
// gets loaded. (A module that looks up its own file finds it in the process's
// mappings, which name the file itself.)
#pragma once

#include "platform/com/comtypes.h"
#include "platform/com/status/modulestatus.h"
#include "platform/runtime/posixfile.h"

#include <string>

namespace nv::com {

struct ModuleCheck
{
    HRESULT status = S_OK; // S_OK, HRESULT_MOD_NOT_FOUND or one of the two above
    std::string text;      // empty when the file passes
    bool ok() const { return status == S_OK; }
};

ModuleCheck checkModuleFile(const std::string &path);

// A module file opened and checked: `fd` is open when the check passed.
struct CheckedModule
{
    ModuleCheck check;
    posix::Fd fd;
};

CheckedModule openCheckedModule(const std::string &path);

// Loads a module that passed its check through its descriptor (dlopen
// `flags`); nullptr with the loader's reason in `error` on failure. The
// loader knows the module by that descriptor's name for good: keep `fd` open
// while the module is loaded for the module to find its file by that name.
// The descriptor may be moved to another number on the way.
void *loadCheckedModule(CheckedModule &module, int flags, std::string &error);

} // namespace nv::com
