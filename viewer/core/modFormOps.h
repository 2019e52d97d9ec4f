// Page rendering and the splash labels.
#pragma once

#include "viewer/core/display.h"
#include "viewer/core/pagetables.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace nv {

// The four labels of the splash window, as FillSplashLabels reaches them: the
// page core knows no windows.
struct SplashLabels
{
    std::function<void(const QString &)> lblVersion;
    std::function<void(const QString &)> lblCopyright;
    std::function<void(const QString &)> lblCompany;
    std::function<void(const QString &)> lblPlatform;
};

// Appends the 32 lines of the page that starts at lngFirstByte to the display.
void RenderPage(StringTable &strHexTable, StringTable &strCharTable, int32_t lngFirstByte,
                DisplayText &display);

// Shows the page the selector points at: read, convert, render. The selector
// value is read twice, once before reading and once before rendering. The
// display is not cleared here; the callers do that first. Errors propagate.
void ShowPage(const std::function<int32_t()> &selectorValue, DisplayText &display);

// First position of the page the selector value v points at: |v * 512| + 1.
int32_t FirstPositionOf(int32_t selectorValue);

// Sets the captions of the splash window's four labels.
void FillSplashLabels(const SplashLabels &splash);

} // namespace nv
