#include "platform/runtime/numeric.h"

#include "platform/runtime/ascii.h"
#include "platform/runtime/error.h"

#include <algorithm>
#include <cstddef>

namespace nv {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Number
{
    bool literal = false;
    // A literal: its value, or the mark that it needs more than 32 bits.
    uint32_t bits = 0;
    bool tooWide = false;
    // A decimal: sign, digits before and after the point, exponent.
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;
    int64_t exponent = 0;
};

bool parseLiteral(std::string_view s, Number &n)
{
    // s starts after the '&'.
    int base = 8;
    if (!s.empty() && (s.front() == 'H' || s.front() == 'h')) {
        base = 16;
        s.remove_prefix(1);
    } else if (!s.empty() && (s.front() == 'O' || s.front() == 'o')) {
        s.remove_prefix(1);
    }
    if (s.empty())
        return false;
    n.literal = true;
    uint64_t value = 0;
    for (char c : s) {
        int d = ascii::hexDigitValue(c);
        if (d < 0 || d >= base)
            return false;
        if (!n.tooWide) {
            value = value * uint64_t(base) + uint64_t(d);
            if (value > 0xFFFFFFFFu)
                n.tooWide = true;
        }
    }
    n.bits = uint32_t(value);
    return true;
}

bool parseDecimal(std::string_view s, Number &n)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        n.negative = s[i] == '-';
        ++i;
    }
    std::size_t start = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    n.whole = s.substr(start, i - start);
    if (i < s.size() && s[i] == '.') {
        start = ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        n.fraction = s.substr(start, i - start);
    }
    if (n.whole.empty() && n.fraction.empty())
        return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ++i;
        }
        if (i == s.size() || !isDigit(s[i]))
            return false;
        // Saturates: beyond a billion the value is out of every range anyway.
        constexpr int64_t kCap = 1000000000;
        for (; i < s.size() && isDigit(s[i]); ++i)
            n.exponent = std::min<int64_t>(n.exponent * 10 + (s[i] - '0'), kCap);
        if (negativeExponent)
            n.exponent = -n.exponent;
    }
    return i == s.size();
}

bool parse(std::string_view text, Number &n)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return false;
    if (text.front() == '&')
        return parseLiteral(text.substr(1), n);
    return parseDecimal(text, n);
}

// The decimal's value rounded half to even, or false when it lies outside
// the 32-bit range. Works on the digits themselves: no binary rounding, no
// locale.
bool decimalToInt32(const Number &n, int32_t &out)
{
    // All digits in one run, and where the point falls in it.
    std::string digits;
    digits.reserve(n.whole.size() + n.fraction.size());
    digits.append(n.whole).append(n.fraction);
    std::size_t lead = digits.find_first_not_of('0');
    if (lead == std::string::npos) {
        out = 0;
        return true;
    }
    const int64_t point = int64_t(n.whole.size()) - int64_t(lead) + n.exponent;
    std::string_view sig = std::string_view(digits).substr(lead);
    // A first significant digit at 10^10 or above is beyond any 32-bit value.
    if (point > 10)
        return false;

    uint64_t whole = 0;
    std::string_view rest = sig;
    if (point > 0) {
        for (int64_t k = 0; k < point; ++k)
            whole = whole * 10 + (std::size_t(k) < sig.size() ? uint64_t(sig[k] - '0') : 0);
        rest =
            std::size_t(point) < sig.size() ? sig.substr(std::size_t(point)) : std::string_view();
    }
    // rest holds the fraction's digits from the first after the point,
    // unless the point lies left of all digits (then the value is below 0.1).
    if (point >= 0 && !rest.empty()) {
        const char first = rest.front();
        const bool moreThanHalf =
            first > '5' ||
            (first == '5' && rest.substr(1).find_first_not_of('0') != std::string_view::npos);
        const bool exactlyHalf = first == '5' && !moreThanHalf;
        if (moreThanHalf || (exactlyHalf && (whole & 1)))
            ++whole;
    }
    const uint64_t limit = n.negative ? uint64_t(1) << 31 : (uint64_t(1) << 31) - 1;
    if (whole > limit)
        return false;
    out = n.negative ? int32_t(-int64_t(whole)) : int32_t(whole);
    return true;
}

} // namespace

bool isNumeric(std::string_view text)
{
    Number n;
    return parse(text, n);
}

int32_t toInt32(std::string_view text)
{
    Number n;
    if (!parse(text, n))
        raise(err::TypeMismatch);
    if (n.literal) {
        if (n.tooWide)
            raise(err::Overflow);
        return int32_t(n.bits);
    }
    int32_t value = 0;
    if (!decimalToInt32(n, value))
        raise(err::Overflow);
    return value;
}

bool isValidColourText(std::string_view text)
{
    Number n;
    if (!parse(text, n))
        return false;
    int32_t value = 0;
    if (n.literal) {
        if (n.tooWide)
            return false;
        value = int32_t(n.bits);
    } else if (!decimalToInt32(n, value)) {
        return false;
    }
    return value >= 0 && value <= 0xFFFFFF;
}

} // namespace nv
