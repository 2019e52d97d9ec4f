// The up/down control: two stacked arrow buttons that step a signed 32-bit
// value by 1 between Min and Max, without wrapping. The up arrow steps
// towards Max, the down arrow towards Min; a held arrow repeats. Each step
// that changes the value raises one change event (the changed() signal); a
// step at the end of the range changes nothing and raises nothing.
//
// The mouse wheel steps it too: each notch turned up is one step up, each
// notch turned down one step down. Finer deltas, as touchpads send, add up
// until they make a notch. With the focus, the Up and Down keys step, and the
// style's focus rectangle is drawn over the arrows.
//
// Setting Min or Max keeps the value inside the new range by moving it
// silently, without a change event: a caller that narrows the range shows
// the result itself. Setting the value in code raises the change event when
// the value changes, as an arrow click does.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QToolButton;

namespace nv::forms {

class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget *parent);

    int32_t value() const { return m_value; }
    void setValue(int32_t value); // clamped into the range
    int32_t min() const { return m_min; }
    int32_t max() const { return m_max; }
    void setMin(int32_t min);
    void setMax(int32_t max);

    // One step as a click on the arrow does.
    void stepUp();
    void stepDown();

    // Page Down and Page Up step down and up, Ctrl+End and Ctrl+Home go to
    // Min and Max in one change, as shortcuts of `window` whichever of its
    // controls has the focus; at an end of the range nothing changes.
    void addPagingKeys(QWidget *window);
    // The wheel over `other` steps this control as over itself.
    void takeWheelOf(QWidget *other);

    // What a screen reader hears as the control's value (a spin box's); the
    // number itself unless the owner says otherwise. It is told again on
    // every change of the value or the range.
    using ValueText = std::function<QString(int32_t value, int32_t min, int32_t max)>;
    void setAccessibleValueText(ValueText text);
    QString accessibleValueText() const;

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    // Eighths of a degree in one notch of a mouse wheel.
    static constexpr int kWheelNotch = 120;

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Both ends at once; the value is kept inside them without a change event.
    void setRange(int32_t min, int32_t max);
    void clampSilently();
    void changeTo(int32_t value);
    void valueTextChanged();

    QWidget *m_wheelOf = nullptr;
    QToolButton *m_up;
    QToolButton *m_down;
    QWidget *m_focusFrame;
    int32_t m_value = 0;
    int32_t m_min = 0;
    int32_t m_max = 0;
    int m_wheelRemainder = 0; // wheel delta short of a whole notch
    ValueText m_valueText;
};

} // namespace nv::forms
