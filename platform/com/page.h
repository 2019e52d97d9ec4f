// The page the viewer and the component classes pass between them: its
// lines, the bytes of a line, and the width of the offset label each line
// starts with. Header-only, so that a component module can use it without
// linking anything of ours.
#pragma once

namespace nv::com {

// 32 lines of 16 bytes.
constexpr int kLinesPerPage = 32;
constexpr int kBytesPerLine = 16;
constexpr int kBytesPerPage = kLinesPerPage * kBytesPerLine;

// A line's offset label: the 32-bit offset as hexadecimal digits.
constexpr int kOffsetDigits = 8;

} // namespace nv::com
