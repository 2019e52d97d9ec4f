#include "viewer/settings.h"

#include "platform/forms/textbox.h"
#include "platform/runtime/error.h"
#include "platform/runtime/numeric.h"

namespace nv {

QString gstrShowSplash;
QString gstrFontColor;
QString gstrBackgroundColor;

uint32_t colourOf(const QString &setting)
{
    const int32_t value = toInt32(setting.toStdString());
    if (value < 0 || value > 0xFFFFFF)
        raise(forms::kInvalidPropertyValue, "Invalid property value");
    return uint32_t(value);
}

} // namespace nv
