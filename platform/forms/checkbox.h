// The check box with the classic values 0 (clear), 1 (ticked) and 2 (greyed).
// Its click event runs whenever the value changes, by the user or by code.
// A person's click ticks a clear or greyed box and clears a ticked one.
#pragma once

#include <QCheckBox>

#include <functional>

namespace nv::forms {

class CheckBox : public QCheckBox
{
public:
    CheckBox(const QString &caption, QWidget *parent);

    int value() const;
    void setValue(int value); // 0, 1 or 2; anything else raises invalid property value (380)

    void setOnClick(std::function<void()> handler) { m_onClick = std::move(handler); }

protected:
    void nextCheckState() override;

private:
    std::function<void()> m_onClick;
};

} // namespace nv::forms
