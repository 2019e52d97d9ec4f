#include "stringfunctions.h"

#include "com/bstr.h"
#include "runtime/error.h"

namespace nv::stringops {

namespace {

// The longest string a BSTR can count.
constexpr size_t kMaxStringUnits = (UINT32_MAX - 6) / 2;

void requireLength(size_t units)
{
    if (units > kMaxStringUnits)
        nv::raise(nv::err::OutOfMemory);
}

char16_t displayChar(uint8_t b)
{
    return b > 31 && b <= 126 ? char16_t(b) : u'.';
}

template <class Text> void convertPage(const PageArray &in, PageArray &out, Text text)
{
    for (int32_t line = 0; line < kLines; ++line)
        for (int32_t column = 0; column < kColumns; ++column)
            out.replaceString(line, column, text(in.byteAt(line, column)));
}

} // namespace

std::u16string combineChars(const PageArray &strChrArray, int16_t intLine)
{
    std::u16string result;
    for (int32_t column = 0; column < kColumns; ++column) {
        const std::u16string_view part = nv::com::view(strChrArray.stringAt(intLine, column));
        requireLength(result.size() + part.size());
        result += part;
    }
    return result;
}

void convertToHexStr(const PageArray &bytArrayIn, PageArray &strHexArrayOut)
{
    convertPage(bytArrayIn, strHexArrayOut, hexStr);
}

void convertToChrStr(const PageArray &bytArrayIn, PageArray &strChrArrayOut)
{
    convertPage(bytArrayIn, strChrArrayOut,
                [](uint8_t b) { return std::u16string(1, displayChar(b)); });
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
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0xF]};
}

} // namespace nv::stringops
