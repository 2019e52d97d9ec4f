// ASCII-only character helpers for the program's file formats and names.
// They never consult the locale, unlike <cctype> and QString's comparisons,
// so a name matches the same way on every machine.
#pragma once

#include <cstddef>
#include <string_view>

namespace nv::ascii {

constexpr char toLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toLower(a[i]) != toLower(b[i]))
            return false;
    return true;
}

// The value of one hexadecimal digit (either case), or -1.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The same for a UTF-16 code unit, as Qt's strings hold: only ASCII digits.
constexpr int hexDigitValue(char16_t c)
{
    return c < 0x80 ? hexDigitValue(char(c)) : -1;
}

// The hexadecimal digit for the low four bits of `value`, in upper case, as
// the component model writes numbers and identifiers; lowerHexDigit for the
// formats that write lower case.
constexpr char upperHexDigit(unsigned value)
{
    return "0123456789ABCDEF"[value & 0xF];
}

constexpr char lowerHexDigit(unsigned value)
{
    return toLower(upperHexDigit(value));
}

} // namespace nv::ascii
