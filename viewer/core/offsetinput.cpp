#include "viewer/core/offsetinput.h"

#include "viewer/core/pageposition.h"

#include "platform/runtime/ascii.h"

#include <algorithm>

namespace nv {

namespace {

// Beyond any file this viewer opens; a longer number saturates here, so it
// is simply past the end rather than an overflow.
constexpr int64_t kSaturated = int64_t(1) << 62;

const char kHexHint[] = "Write hexadecimal with 0x in front or h behind, as 0x3A2F40 or 3A2F40h.";

int digitValue(QChar c, int base)
{
    const int v = ascii::hexDigitValue(c.unicode());
    return v < base ? v : -1;
}

// All digits of `base`, at least one; the value saturated.
std::optional<int64_t> number(QStringView digits, int base)
{
    if (digits.isEmpty())
        return std::nullopt;
    int64_t value = 0;
    for (QChar c : digits) {
        const int d = digitValue(c, base);
        if (d < 0)
            return std::nullopt;
        value = value >= kSaturated / base ? kSaturated : value * base + d;
    }
    return value;
}

bool allOf(QStringView s, bool (*test)(QChar))
{
    for (QChar c : s)
        if (!test(c))
            return false;
    return true;
}

bool isGrouping(QChar c)
{
    return c == u',' || c == u'.' || c == u'\'' || c == u'_' || c == u' ' || c == QChar(0x00A0) ||
           c == QChar(0x202F);
}

bool isGroupingOrDigit(QChar c)
{
    return c.isDigit() || isGrouping(c);
}

// A decimal digit of another script, such as Arabic-Indic or full-width.
bool isForeignDigit(QChar c)
{
    return c.isDigit() && c.unicode() >= 0x80;
}

} // namespace

OffsetInput ParseOffset(QStringView text, int64_t current, int64_t size)
{
    // Any white space around, as a paste brings a line end or a no-break space.
    const QStringView typed = text.trimmed();
    QStringView s = typed;
    if (s.isEmpty())
        return {std::nullopt, QStringLiteral("Type an offset: decimal digits, or hexadecimal as "
                                             "0x3A2F40 or 3A2F40h.")};
    int sign = 0;
    if (s.front() == u'+' || s.front() == u'-') {
        sign = s.front() == u'+' ? 1 : -1;
        s = s.mid(1).trimmed();
    }

    std::optional<int64_t> value;
    if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X'))
        value = number(s.mid(2), 16);
    else if (s.size() > 1 && (s.back() == u'h' || s.back() == u'H'))
        value = number(s.first(s.size() - 1), 16);
    else
        value = number(s, 10);

    if (!value) {
        if (number(s, 16))
            return {std::nullopt,
                    QStringLiteral("Hex letters need a marker. ") + QLatin1String(kHexHint)};
        if (std::any_of(s.begin(), s.end(), isForeignDigit))
            return {std::nullopt, QStringLiteral("\"%1\" has digits other than 0-9: type the "
                                                 "offset in the digits 0-9.")
                                      .arg(typed)};
        if (!s.isEmpty() && s.front().isDigit() && allOf(s, isGroupingOrDigit)) {
            QString ungrouped = typed.toString();
            ungrouped.removeIf(isGrouping);
            return {
                std::nullopt,
                QStringLiteral("Write the offset without digit grouping, as %1.").arg(ungrouped)};
        }
        return {std::nullopt,
                QStringLiteral("\"%1\" is not an offset. Use decimal digits; ").arg(typed) +
                    QLatin1String(kHexHint)};
    }

    const int64_t target = sign == 0 ? *value : current + sign * *value;
    if (size <= 0)
        return {std::nullopt, QStringLiteral("The file is empty: it has no byte to go to.")};
    if (target < 0)
        return {std::nullopt, QStringLiteral("That lies before the start of the file.")};
    if (target >= size)
        return {std::nullopt, QStringLiteral("That lies past the end of the file: its last byte "
                                             "is at %1 (%2).")
                                  .arg(hexOffsetText(size - 1))
                                  .arg(size - 1)};
    return {target, {}};
}

} // namespace nv
