// The main window's icon, drawn in code: a page of hex rows under a
// magnifying glass, 32 x 32 pixels in a 16-colour palette. The build draws
// the installed icon file from the same code.
#pragma once

#include <QImage>

namespace nv {

QImage mainIconImage(); // 32 x 32, indexed, 16 colours (one of them transparent)

} // namespace nv
