// The five methods of Strings as plain functions over checked arrays;
// run-time errors are raised as nv::RuntimeError.
#pragma once

#include "platform/com/page.h"
#include "stringops/pagearray.h"

#include <string>
#include <string_view>

namespace nv::stringops {

constexpr int32_t kLines = nv::com::kLinesPerPage;
constexpr int32_t kColumns = nv::com::kBytesPerLine;

// The 16 strings of line `intLine` joined in column order, as a new string
// (null when memory runs out).
nv::com::BStr combineChars(const PageArray &strChrArray, int16_t intLine);

// Every byte of the page as two upper-case hexadecimal digits. On a failure
// the elements already written keep their new strings.
void convertToHexStr(const PageArray &bytArrayIn, PageArray &strHexArrayOut);

// Every byte of the page as itself when printable (32 to 126), else ".".
void convertToChrStr(const PageArray &bytArrayIn, PageArray &strChrArrayOut);

// `Char` inserted before the 1-based `Position` of `Into`; at the end when
// Position lies outside 1..length.
std::u16string insertChar(std::u16string_view Char, std::u16string_view Into, int32_t Position);

std::u16string hexStr(uint8_t byte);

} // namespace nv::stringops
