// The statuses of a module file refused before it is loaded, and their
// texts: the module check gives them, the status texts name them.
#pragma once

#include "platform/com/comtypes.h"

namespace nv::com {

// The platform's own codes for a file of the wrong type and for a file that
// is no valid executable image.
constexpr HRESULT STATUS_MODULE_NOT_REGULAR_FILE = hr(0x800700DE);
constexpr HRESULT STATUS_MODULE_BAD_FORMAT = hr(0x800700C1);

constexpr const char *kModuleNotRegularText = "module file is not a regular file";
constexpr const char *kModuleBadFormatText = "module file is truncated or not a shared object";

} // namespace nv::com
