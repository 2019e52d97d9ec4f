#include "hexops/hexfunctions.h"

#include "platform/com/page.h"
#include "platform/runtime/ascii.h"
#include "platform/runtime/checked.h"

namespace nv::hexops {

namespace {

int16_t checkedInt16(int32_t v)
{
    if (v < INT16_MIN || v > INT16_MAX)
        nv::raise(nv::err::Overflow);
    return int16_t(v);
}

// The `count` lowest hexadecimal digits of `value` into out[0..count), the highest first.
void putHexDigits(uint64_t value, char16_t *out, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        out[count - 1 - i] = char16_t(nv::ascii::upperHexDigit(unsigned(value >> (4 * i))));
}

std::u16string bitsOf(std::u16string_view digit)
{
    if (digit.size() != 1)
        return {};
    for (int value = 0; value < 16; ++value) {
        if (digit[0] != char16_t(nv::ascii::upperHexDigit(unsigned(value))))
            continue;
        std::u16string bits;
        for (int bit = 3; bit >= 0; --bit)
            bits += (value >> bit) & 1 ? u'1' : u'0';
        return bits;
    }
    return {};
}

} // namespace

OffsetLabel generateOffset(int32_t lngFirstByte, int16_t intLine)
{
    const int16_t lineBytes = checkedInt16(int32_t(intLine) * nv::com::kBytesPerLine);
    const int16_t step = checkedInt16(int32_t(lineBytes) - 1);
    const int32_t offset = nv::checkedAdd(lngFirstByte, int32_t(step));

    // The two's-complement pattern, zero-padded to eight digits.
    OffsetLabel label;
    putHexDigits(static_cast<uint32_t>(offset), label.data(), label.size());
    return label;
}

std::u16string generateLongOffset(int64_t llFirstByte, int16_t intLine, int16_t intDigits)
{
    if (intDigits < nv::com::kOffsetDigits || intDigits > kMaxLongOffsetDigits)
        nv::raise(nv::err::InvalidProcedureCall);
    // 16 * intLine - 1 is far inside 64 bits, so the one checked sum overflows exactly when
    // the offset does.
    const int64_t offset =
        nv::checkedAdd(llFirstByte, int64_t(intLine) * nv::com::kBytesPerLine - 1);
    if (offset < 0)
        nv::raise(nv::err::Overflow);
    const auto value = static_cast<uint64_t>(offset);
    if (intDigits < kMaxLongOffsetDigits && value >> (4 * intDigits) != 0)
        nv::raise(nv::err::Overflow);
    std::u16string label(size_t(intDigits), u'0');
    putHexDigits(value, label.data(), label.size());
    return label;
}

std::u16string hexByte2BinBits(std::u16string_view strHexNum)
{
    const std::u16string_view first = strHexNum.substr(0, 1);
    const std::u16string_view second = strHexNum.size() > 1 ? strHexNum.substr(1, 1) : u"";
    return bitsOf(first) + bitsOf(second);
}

} // namespace nv::hexops
