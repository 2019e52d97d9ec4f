// The three settings of the running program, as the texts config.ini holds:
// "TRUE"/"FALSE" and two colour numbers in decimal. Empty until the start-up
// sequence fills them.
#pragma once

#include <QString>

#include <cstdint>

namespace nv {

extern QString gstrShowSplash;
extern QString gstrFontColor;
extern QString gstrBackgroundColor;

// A colour setting as a colour word; anything outside the 24-bit colour
// range is an invalid property value (380), as the text box says.
uint32_t colourOf(const QString &setting);

} // namespace nv
