// The pictures of the splash window and the about box, drawn in code so
// that the program ships no image files.
#pragma once

#include <QImage>

namespace nv {

// 277 x 348, 24-bit: the splash window's background. The lower part is kept
// light so that the black labels drawn over it stay readable.
QImage splashPicture();

// 64 x 64, 24-bit: the picture of the about box.
QImage aboutPicture();

} // namespace nv
