// The check box with the classic values 0 (clear), 1 (ticked) and 2 (greyed).
// Its click event runs whenever the value changes, by the user or by code:
// that is QCheckBox's stateChanged().
// A person's click ticks a clear or greyed box and clears a ticked one.
#pragma once

#include <QCheckBox>

namespace nv::forms {

class CheckBox : public QCheckBox
{
    Q_OBJECT

public:
    CheckBox(const QString &caption, QWidget *parent);

    int value() const;
    void setValue(int value); // 0, 1 or 2; anything else raises invalid property value (380)

protected:
    void nextCheckState() override;
};

} // namespace nv::forms
