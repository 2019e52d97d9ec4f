// A blocking wait of the calling thread.
#pragma once

#include <cstdint>

namespace nv {

// Blocks for `milliseconds`; signals do not cut the wait short.
void Sleep(uint32_t milliseconds);

} // namespace nv
