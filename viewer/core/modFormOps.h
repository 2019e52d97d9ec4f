// Page rendering and the splash labels.
#pragma once

#include "viewer/core/display.h"
#include "viewer/core/pagetables.h"

#include <QString>

#include <cstdint>
#include <functional>

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

// The length of a rendered page, which is the display's maximum: per line
// the offset label of eight digits and a space, a space or "-" and two
// digits for each byte, three spaces, a character for each byte, CR LF.
constexpr int kOffsetDigits = 8;
constexpr int kRenderedLineLength = kOffsetDigits + 1 + 3 * kBytesPerLine + 3 + kBytesPerLine + 2;
constexpr int kRenderedPageLength = kLinesPerPage * kRenderedLineLength;

// Appends the 32 lines of the page that starts at lngFirstByte to the display.
void RenderPage(StringTable &strHexTable, StringTable &strCharTable, int32_t lngFirstByte,
                DisplayText &display);

// Shows the page the selector points at: read, convert, render. The selector
// value is read twice, once before reading and once before rendering. The
// display is not cleared here; the callers do that first. Errors propagate.
void ShowPage(const std::function<int32_t()> &selectorValue, DisplayText &display);

// First position of the page the selector value v points at: |v * 512| + 1.
int32_t FirstPositionOf(int32_t selectorValue);

// The captions of the splash window's four labels.
SplashLabels FillSplashLabels();

// "Version major.minor.revision", as the splash and the about box show it.
QString versionCaption();

} // namespace nv
