// The one table that turns a status code of the component model into text,
// for messages of the runtime, the modules' dispatch exceptions, the
// registration tool and the viewer alike.
#pragma once

#include "platform/com/comtypes.h"

#include <string>

namespace nv::com {

// "Class not registered"; a run-time error number's own description
// ("Overflow"); "Error 0x8004FFFF" for a code the table does not know.
std::string statusText(HRESULT status);

// The code as eight upper-case hexadecimal digits: "0x80040154".
std::string statusCode(HRESULT status);

} // namespace nv::com
