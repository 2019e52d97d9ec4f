// The three settings of the running program, as the texts config.ini holds:
// "TRUE"/"FALSE" and two colour numbers in decimal. Empty until the start-up
// sequence fills them.
#pragma once

#include <QString>

namespace nv {

extern QString gstrShowSplash;
extern QString gstrFontColor;
extern QString gstrBackgroundColor;

} // namespace nv
