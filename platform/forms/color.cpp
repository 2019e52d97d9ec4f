#include "platform/forms/color.h"

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

} // namespace nv::forms
