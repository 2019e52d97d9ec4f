#include "viewer/core/pageposition.h"

#include "viewer/core/modFormOps.h"
#include "viewer/core/pagetables.h"

#include <algorithm>

namespace nv {

namespace {

QString bytesText(int64_t count, const QLocale &locale)
{
    return QStringLiteral("%1 %2").arg(locale.toString(qlonglong(count)),
                                       count == 1 ? QStringLiteral("byte")
                                                  : QStringLiteral("bytes"));
}

} // namespace

int64_t pageOffsetOf(int32_t selectorValue)
{
    return -int64_t(selectorValue) * kBytesPerPage;
}

int32_t selectorValueOf(int64_t offset)
{
    return int32_t(-(offset / kBytesPerPage));
}

int64_t pageCountOf(int32_t selectorMin)
{
    return std::max<int64_t>(1 - int64_t(selectorMin), 1);
}

QString pageOfPages(int32_t value, int32_t min, const QLocale &locale)
{
    return QStringLiteral("Page %1 of %2")
        .arg(locale.toString(qlonglong(1 - int64_t(value))),
             locale.toString(qlonglong(pageCountOf(min))));
}

QString hexOffsetText(int64_t offset)
{
    return QStringLiteral("0x") + QString::number(offset, 16).toUpper();
}

QString byteRunText(const ByteRun &run, const QLocale &locale)
{
    if (run.count <= 1)
        return hexOffsetText(run.first);
    return QStringLiteral("%1-%2 (%3)")
        .arg(hexOffsetText(run.first), hexOffsetText(run.first + run.count - 1),
             bytesText(run.count, locale));
}

ReachCells reachCells(const ByteRun &reached, int64_t pageOffset, int labelDigits)
{
    const int from = int(std::clamp<int64_t>(reached.first - pageOffset, 0, kBytesPerPage - 1));
    const int to = int(std::clamp<int64_t>(reached.first + reached.count - 1 - pageOffset, from,
                                           kBytesPerPage - 1));
    ReachCells cells;
    for (int k = from; k <= to; ++k)
        cells.marks.push_back({hexDigitIndex(k, labelDigits), 2});
    for (int k = from; k <= to; ++k) {
        if (k == from || k % kBytesPerLine == 0)
            cells.marks.push_back({charIndex(k, labelDigits), 0});
        ++cells.marks.back().length;
    }
    const int lineLast = from - from % kBytesPerLine + kBytesPerLine - 1;
    const int start = hexDigitIndex(from, labelDigits);
    cells.selection = {start, hexDigitIndex(std::min(to, lineLast), labelDigits) + 2 - start};
    return cells;
}

QString PositionSummary(int32_t value, int32_t min, int64_t size, const QLocale &locale)
{
    if (size <= 0)
        return QStringLiteral("Empty file");
    return pageOfPages(value, min, locale) + QStringLiteral(" \u00B7 ") + bytesText(size, locale);
}

QString statusLine(int32_t value, int32_t min, const ByteRun &at, int64_t size,
                   const QLocale &locale)
{
    const QString dot = QStringLiteral(" \u00B7 ");
    QString line = pageOfPages(value, min, locale);
    if (size > 0)
        line += dot + byteRunText(at, locale);
    return line + dot + bytesText(size, locale);
}

} // namespace nv
