// The check every module file passes before it is loaded, shared by the
// component runtime and norvale-reg. dlopen trusts the file it maps: a FIFO
// makes it wait for ever, and a file cut short makes the loader touch pages
// past its end, which kills the process with SIGBUS. So a module must be a
// regular file (opened without blocking) holding a 64-bit ELF shared object
// for this machine whose program headers and every segment with contents in
// the file lie inside it. Anything else is refused with a status and a text.
//
// The file is checked by its path and then loaded by the same path: a file
// replaced or truncated between the two is not caught. Loading through the
// checked descriptor would make the loader name the module by that
// descriptor, and modules register themselves by the name they were loaded by.
#pragma once

#include "platform/com/comtypes.h"

#include <string>

namespace nv::com {

// The platform's own codes for a file of the wrong type and for a file that
// is no valid executable image.
constexpr HRESULT STATUS_MODULE_NOT_REGULAR_FILE = hr(0x800700DE);
constexpr HRESULT STATUS_MODULE_BAD_FORMAT = hr(0x800700C1);

constexpr const char *kModuleNotRegularText = "module file is not a regular file";
constexpr const char *kModuleBadFormatText = "module file is truncated or not a shared object";

struct ModuleCheck
{
    HRESULT status = S_OK; // S_OK, HRESULT_MOD_NOT_FOUND or one of the two above
    std::string text;      // empty when the file passes
    bool ok() const { return status == S_OK; }
};

ModuleCheck checkModuleFile(const std::string &path);

} // namespace nv::com
