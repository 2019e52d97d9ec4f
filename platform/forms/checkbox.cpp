#include "platform/forms/checkbox.h"

#include "platform/forms/textbox.h"
#include "platform/runtime/error.h"

namespace nv::forms {

CheckBox::CheckBox(const QString &caption, QWidget *parent) : QCheckBox(caption, parent) {}

int CheckBox::value() const
{
    switch (checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

void CheckBox::setValue(int value)
{
    if (value < 0 || value > 2)
        nv::raise(kInvalidPropertyValue, "Invalid property value");
    if (value == 2)
        setTristate(true);
    setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

} // namespace nv::forms
