// Page rendering and the splash labels.
#pragma once

#include "viewer/core/display.h"
#include "viewer/core/pagetables.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>

namespace nv {

// The captions of the splash window's four labels: the page core knows no
// windows.
struct SplashLabels
{
    QString lblVersion;
    QString lblCopyright;
    QString lblCompany;
    QString lblPlatform;
};

// A rendered line: the offset label and a space, a separator and two digits
// for each byte (a "-" before the middle byte, else a space), three spaces,
// a character for each byte, CR LF.
namespace line {
constexpr char16_t kAfterLabel = u' ';
constexpr char16_t kBeforeByte = u' ';
constexpr char16_t kBeforeMiddleByte = u'-';
constexpr int kMiddleByte = kBytesPerLine / 2;
constexpr std::u16string_view kBeforeChars = u"   ";
constexpr std::u16string_view kEnd = u"\r\n";
// What a line holds besides its label, its byte cells' digits and its
// characters.
constexpr int kFrameLength = 1 + kBytesPerLine + int(kBeforeChars.size()) + int(kEnd.size());
// Where a line's parts start, for labels of `labelDigits` digits: the first
// digit of byte c is at column hexColumn + 3c, its character at charColumn +
// c (columns from 0).
constexpr int hexColumn(int labelDigits = com::kOffsetDigits)
{
    return labelDigits + 2;
}
constexpr int charColumn(int labelDigits = com::kOffsetDigits)
{
    return hexColumn(labelDigits) + 3 * kBytesPerLine - 1 + int(kBeforeChars.size());
}
} // namespace line

// The labels of a file of `size` bytes: as many hexadecimal digits as its
// last offset has, and never fewer than eight, so the column never moves
// while the file is paged (eight up to 4 GiB, nine up to 64 GiB, ten past).
int labelDigitsFor(int64_t size);

// The length of a rendered line and page, which is the display's maximum,
// for labels of `labelDigits` digits.
constexpr int renderedLineLength(int labelDigits = com::kOffsetDigits)
{
    return labelDigits + line::kFrameLength + 2 * kBytesPerLine + kBytesPerLine;
}
constexpr int renderedPageLength(int labelDigits = com::kOffsetDigits)
{
    return kLinesPerPage * renderedLineLength(labelDigits);
}
constexpr int kRenderedLineLength = renderedLineLength();
constexpr int kRenderedPageLength = renderedPageLength();

// Where byte k of a page (0 to 511) has its first hex digit and its
// character in the rendered page's text.
constexpr int hexDigitIndex(int k, int labelDigits = com::kOffsetDigits)
{
    return (k / kBytesPerLine) * renderedLineLength(labelDigits) + line::hexColumn(labelDigits) +
           3 * (k % kBytesPerLine);
}
constexpr int charIndex(int k, int labelDigits = com::kOffsetDigits)
{
    return (k / kBytesPerLine) * renderedLineLength(labelDigits) + line::charColumn(labelDigits) +
           k % kBytesPerLine;
}

// Appends the 32 lines of the page that starts at lngFirstByte to the
// display, labelled with `labelDigits` digits: through GenerateOffset where
// the position fits its 32 bits and the labels are eight digits, as ever,
// else through GenerateLongOffset.
void RenderPage(StringTable &strHexTable, StringTable &strCharTable, int64_t lngFirstByte,
                DisplayText &display, int labelDigits = com::kOffsetDigits);

// Shows the page the selector points at: read, convert, render. The selector
// value is read twice, once before reading and once before rendering. The
// display is not cleared here; the callers do that first. Errors propagate.
void ShowPage(const std::function<int32_t()> &selectorValue, DisplayText &display,
              int labelDigits = com::kOffsetDigits);

// First position of the page the selector value v points at, |v| * 512 + 1,
// in 64 bits: the selector's whole range fits.
int64_t FirstPositionOf(int32_t selectorValue);

// The captions of the splash window's four labels.
SplashLabels FillSplashLabels();

// "Version major.minor.revision", as the splash and the about box show it.
QString versionCaption();

} // namespace nv
