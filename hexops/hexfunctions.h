// The methods of HexFunctions as plain functions; run-time errors are
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

// The label of a display line of a file of any size: llFirstByte - 1 + 16 * intLine in
// 64-bit arithmetic as exactly intDigits hexadecimal digits. intDigits outside
// kOffsetDigits..kMaxLongOffsetDigits raises InvalidProcedureCall; an offset that
// overflows, is negative or needs more digits raises Overflow. Where generateOffset gives a
// non-negative offset, eight digits give its label.
constexpr int kMaxLongOffsetDigits = 16; // every non-negative int64_t fits
std::u16string generateLongOffset(int64_t llFirstByte, int16_t intLine, int16_t intDigits);

// The first two characters of strHexNum, each an upper-case hexadecimal
// digit, as four bit characters each; anything else contributes nothing.
std::u16string hexByte2BinBits(std::u16string_view strHexNum);

} // namespace nv::hexops
