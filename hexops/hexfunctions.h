// The two methods of HexFunctions as plain functions; run-time errors are
// raised as nv::RuntimeError.
#pragma once

#include "platform/com/page.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace nv::hexops {

// The label of a display line: lngFirstByte + 16 * intLine - 1 as eight
// (kOffsetDigits) hexadecimal digits. The first two steps are 16-bit and the sum 32-bit
// arithmetic; any step out of range raises Overflow.
using OffsetLabel = std::array<char16_t, nv::com::kOffsetDigits>;
OffsetLabel generateOffset(int32_t lngFirstByte, int16_t intLine);

// The first two characters of strHexNum, each an upper-case hexadecimal
// digit, as four bit characters each; anything else contributes nothing.
std::u16string hexByte2BinBits(std::u16string_view strHexNum);

} // namespace nv::hexops
