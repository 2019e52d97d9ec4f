// The platform colour word: red in the lowest byte, then green, then blue
// (blue * 65536 + green * 256 + red). The top byte is ignored on the way in
// and zero on the way out.
#pragma once

#include <QColor>

#include <cstdint>

namespace nv::forms {

QColor toQColor(uint32_t colorWord);
uint32_t toColorWord(const QColor &color);

} // namespace nv::forms
