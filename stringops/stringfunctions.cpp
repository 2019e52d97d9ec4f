#include "stringops/stringfunctions.h"

#include "platform/com/bstr.h"
#include "platform/runtime/ascii.h"
#include "platform/runtime/error.h"

#include <algorithm>

namespace nv::stringops {

namespace {

void requireLength(size_t units)
{
    if (units > nv::com::kMaxStringUnits)
        nv::raise(nv::err::OutOfMemory);
}

char16_t displayChar(uint8_t b)
{
    return b > 31 && b <= 126 ? char16_t(b) : u'.';
}

// `text` writes a byte's string into a buffer of two and returns its length.
// Line by line, each in column order, whichever way the elements are reached,
// so that a failure part-way leaves the same elements written.
template <class Text> void convertPage(const PageArray &in, PageArray &out, Text text)
{
    char16_t buffer[2];
    const auto string = [&](uint8_t b) { return std::u16string_view(buffer, text(b, buffer)); };
    if (in.holds(0, kLines - 1, 0, kColumns - 1) && out.holds(0, kLines - 1, 0, kColumns - 1)) {
        for (int32_t line = 0; line < kLines; ++line)
            for (int32_t column = 0; column < kColumns; ++column)
                out.replaceStringUnchecked(line, column, string(in.byteAtUnchecked(line, column)));
        return;
    }
    for (int32_t line = 0; line < kLines; ++line)
        for (int32_t column = 0; column < kColumns; ++column)
            out.replaceString(line, column, string(in.byteAt(line, column)));
}

} // namespace

nv::com::BStr combineChars(const PageArray &strChrArray, int16_t intLine)
{
    // Measured first, so the result is allocated once, and written straight
    // into the string the caller receives.
    std::u16string_view parts[kColumns];
    size_t length = 0;
    const auto take = [&](int32_t column, BSTR part) {
        parts[column] = nv::com::view(part);
        length += parts[column].size();
        requireLength(length);
    };
    if (strChrArray.holds(intLine, intLine, 0, kColumns - 1)) {
        for (int32_t column = 0; column < kColumns; ++column)
            take(column, strChrArray.stringAtUnchecked(intLine, column));
    } else {
        for (int32_t column = 0; column < kColumns; ++column)
            take(column, strChrArray.stringAt(intLine, column));
    }
    nv::com::BStr result = nv::com::BStr::ofLength(uint32_t(length));
    if (!result.get())
        return result;
    char16_t *out = result.data();
    for (const std::u16string_view part : parts) {
        // The usual part is one character: no call to a general copy for it.
        if (part.size() == 1)
            *out++ = part[0];
        else
            out = std::copy(part.begin(), part.end(), out);
    }
    return result;
}

void convertToHexStr(const PageArray &bytArrayIn, PageArray &strHexArrayOut)
{
    convertPage(bytArrayIn, strHexArrayOut, [](uint8_t b, char16_t *out) {
        out[0] = char16_t(nv::ascii::upperHexDigit(b >> 4));
        out[1] = char16_t(nv::ascii::upperHexDigit(b));
        return size_t(2);
    });
}

void convertToChrStr(const PageArray &bytArrayIn, PageArray &strChrArrayOut)
{
    convertPage(bytArrayIn, strChrArrayOut, [](uint8_t b, char16_t *out) {
        out[0] = displayChar(b);
        return size_t(1);
    });
}

std::u16string insertChar(std::u16string_view Char, std::u16string_view Into, int32_t Position)
{
    requireLength(Char.size() + Into.size());
    const int64_t n = int64_t(Into.size());
    std::u16string result;
    result.reserve(Char.size() + Into.size());
    if (Position > 1 && Position < n + 1) {
        const size_t cut = size_t(Position - 1);
        result.append(Into.substr(0, cut)).append(Char).append(Into.substr(cut));
    } else if (Position == 1) {
        result.append(Char).append(Into);
    } else {
        result.append(Into).append(Char);
    }
    return result;
}

std::u16string hexStr(uint8_t byte)
{
    return {char16_t(nv::ascii::upperHexDigit(byte >> 4)),
            char16_t(nv::ascii::upperHexDigit(byte))};
}

} // namespace nv::stringops
