// Numbers written as text, as the program's settings hold them: the numeric
// test, the conversion to a 32-bit integer, and the colour check built on both.
#pragma once

#include <cstdint>
#include <string_view>

namespace nv {

// True when the text, blanks (space, tab) around it aside, is
//  - a decimal number: optional sign, digits with an optional decimal point
//    and fraction (".5" and "5." count), optional exponent introduced by
//    E, e, D or d with an optional sign and digits; or
//  - a hexadecimal literal "&H" + hex digits, an octal literal "&O" + octal
//    digits, or "&" + octal digits (letters in either case).
// The empty text is not numeric. No locale: no thousands separators, no
// currency signs, "." is the only decimal point.
bool isNumeric(std::string_view text);

// Converts a numeric text to a 32-bit integer. Decimal numbers are rounded
// half to even; literals of up to 32 bits give their 32-bit two's-complement
// pattern ("&HFF" = 255, "&HFFFFFFFF" = -1). A value that does not fit raises
// nv::RuntimeError(6, overflow); a non-numeric text raises 13 (type mismatch).
int32_t toInt32(std::string_view text);

// A colour setting the display can use: numeric, converts without overflow
// and lies in 0 .. 16777215 (&HFFFFFF).
bool isValidColourText(std::string_view text);

} // namespace nv
