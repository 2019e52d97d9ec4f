#include "viewer/core/copyas.h"

#include "viewer/core/modFormOps.h"

#include "platform/runtime/ascii.h"

#include <algorithm>

namespace nv {

namespace {

// Whether [start, end) overlaps [from, from + length).
bool touches(int start, int end, int from, int length)
{
    return start < from + length && from < end;
}

QString hexPair(uint8_t b)
{
    const char pair[] = {ascii::upperHexDigit(b >> 4u), ascii::upperHexDigit(b), '\0'};
    return QLatin1String(pair);
}

} // namespace

PageBytes selectedPageBytes(int selStart, int selLength, int bytesInFile, int labelDigits)
{
    const int start = std::max(selStart, 0);
    const int end = start + std::max(selLength, 0);
    int hexFirst = -1, hexLast = -1, charFirst = -1, charLast = -1;
    for (int b = 0; b < kBytesPerPage; ++b) {
        if (touches(start, end, hexDigitIndex(b, labelDigits), 2)) {
            hexFirst = hexFirst < 0 ? b : hexFirst;
            hexLast = b;
        }
        if (touches(start, end, charIndex(b, labelDigits), 1)) {
            charFirst = charFirst < 0 ? b : charFirst;
            charLast = b;
        }
    }
    int first = 0, last = kBytesPerPage - 1;
    if (hexFirst >= 0) {
        first = hexFirst;
        last = hexLast;
    } else if (charFirst >= 0) {
        first = charFirst;
        last = charLast;
    }
    last = std::min(last, bytesInFile - 1);
    if (last < first)
        return {first, 0};
    return {first, last - first + 1};
}

int bytesOnPage(int64_t pageOffset, int64_t fileSize)
{
    return int(std::clamp<int64_t>(fileSize - pageOffset, 0, kBytesPerPage));
}

QString hexText(const uint8_t *bytes, int count)
{
    QString text;
    text.reserve(count * 3);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += i % 16 == 0 ? QLatin1Char('\n') : QLatin1Char(' ');
        text += hexPair(bytes[i]);
    }
    return text;
}

QString cArrayText(const uint8_t *bytes, int count)
{
    QString text = QStringLiteral("const unsigned char data[%1] = {\n").arg(count);
    for (int i = 0; i < count; ++i) {
        if (i % 12 == 0)
            text += i > 0 ? QStringLiteral(",\n    ") : QStringLiteral("    ");
        else
            text += QStringLiteral(", ");
        text += QStringLiteral("0x") + hexPair(bytes[i]);
    }
    if (count > 0)
        text += QLatin1Char('\n');
    text += QStringLiteral("};");
    return text;
}

QString formatBytes(CopyFormat format, const uint8_t *bytes, int count)
{
    return format == CopyFormat::Hex ? hexText(bytes, count) : cArrayText(bytes, count);
}

QString copiedNotice(CopyFormat format, int count)
{
    const QString what =
        count == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(count);
    return what + (format == CopyFormat::Hex ? QStringLiteral(" copied as hex")
                                             : QStringLiteral(" copied as a C array"));
}

} // namespace nv
