// The platform colour word: red in the lowest byte, then green, then blue
// (blue * 65536 + green * 256 + red). The top byte is ignored on the way in
// and zero on the way out.
#pragma once

#include <QColor>

#include <cstdint>

namespace nv::forms {

QColor toQColor(uint32_t colorWord);
uint32_t toColorWord(const QColor &color);

// The contrast ratio of two colours as the accessibility guidelines count
// it, from 1 (the same) to 21 (black on white).
double contrastRatio(uint32_t a, uint32_t b);

// A background for marked text on a display of text colour `fore` over
// `back`: the background moved towards the text colour, as far as it can go
// while the text on it stays readable (4.5:1 where the two colours allow),
// so that it stands apart from the background and from a selection.
uint32_t markColorOf(uint32_t fore, uint32_t back);

} // namespace nv::forms
