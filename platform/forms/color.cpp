#include "platform/forms/color.h"

#include <algorithm>
#include <cmath>

namespace nv::forms {

QColor toQColor(uint32_t colorWord)
{
    return QColor(int(colorWord & 0xFF), int((colorWord >> 8) & 0xFF),
                  int((colorWord >> 16) & 0xFF));
}

uint32_t toColorWord(const QColor &color)
{
    const QColor c = color.toRgb();
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

namespace {

double channel(uint32_t word, int shift)
{
    const double c = double((word >> shift) & 0xFF) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(uint32_t word)
{
    return 0.2126 * channel(word, 0) + 0.7152 * channel(word, 8) + 0.0722 * channel(word, 16);
}

uint32_t blend(uint32_t from, uint32_t to, double t)
{
    uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const double a = double((from >> shift) & 0xFF), b = double((to >> shift) & 0xFF);
        out |= uint32_t(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

} // namespace

double contrastRatio(uint32_t a, uint32_t b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t markColorOf(uint32_t fore, uint32_t back)
{
    // A quarter of the way is plainly seen; less where the text would suffer,
    // but never so little that the mark is lost.
    constexpr double kMost = 0.25, kLeast = 0.12, kStep = 0.01;
    const double readable = std::min(4.5, contrastRatio(fore, back) * 0.8);
    double t = kMost;
    while (t > kLeast && contrastRatio(fore, blend(back, fore, t)) < readable)
        t -= kStep;
    return blend(back & 0xFFFFFF, fore & 0xFFFFFF, t);
}

} // namespace nv::forms
