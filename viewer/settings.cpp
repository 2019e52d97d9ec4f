#include "viewer/settings.h"

namespace nv {

QString gstrShowSplash;
QString gstrFontColor;
QString gstrBackgroundColor;

} // namespace nv
