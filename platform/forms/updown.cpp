#include "platform/forms/updown.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <functional>
#include <utility>

namespace nv::forms {

namespace {
QToolButton *makeArrow(QWidget *parent, Qt::ArrowType arrow)
{
    auto *b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}
// The style's focus rectangle, laid over the arrows (which cover the whole
// control) while the control has the keyboard focus; clicks go through it.
class FocusFrame : public QWidget
{
public:
    explicit FocusFrame(QWidget *control) : QWidget(control)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(parentWidget()); // its focus state, not the frame's
        option.rect = rect();
        option.backgroundColor = palette().color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
};

// A spin box to a screen reader, whose value is the owner's text.
class UpDownAccessible : public QAccessibleWidget
{
public:
    explicit UpDownAccessible(UpDown *control) : QAccessibleWidget(control, QAccessible::SpinBox) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<UpDown *>(widget())->accessibleValueText();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *accessibleUpDown(const QString &className, QObject *object)
{
    if (className == QLatin1String("nv::forms::UpDown") && object && object->isWidgetType())
        return new UpDownAccessible(static_cast<UpDown *>(object));
    return nullptr;
}
} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(makeArrow(this, Qt::UpArrow)), m_down(makeArrow(this, Qt::DownArrow)),
      m_focusFrame(new FocusFrame(this))
{
    // Each repeat of a held arrow is one click, so one step.
    QObject::connect(m_up, &QToolButton::clicked, this, [this] { stepUp(); });
    QObject::connect(m_down, &QToolButton::clicked, this, [this] { stepDown(); });
    setFocusPolicy(Qt::TabFocus);
    static const bool factory = [] {
        QAccessible::installFactory(accessibleUpDown);
        return true;
    }();
    (void)factory;
}

void UpDown::setAccessibleValueText(ValueText text)
{
    m_valueText = std::move(text);
    valueTextChanged();
}

QString UpDown::accessibleValueText() const
{
    return m_valueText ? m_valueText(m_value, m_min, m_max) : QString::number(m_value);
}

void UpDown::valueTextChanged()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(this, accessibleValueText());
    QAccessible::updateAccessibility(&event);
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        stepUp();
    else if (event->key() == Qt::Key_Down)
        stepDown();
    else
        QWidget::keyPressEvent(event);
}

void UpDown::wheelEvent(QWheelEvent *event)
{
    event->accept();
    // Summed in 64 bits: a remainder below one notch plus any delta fits.
    int64_t delta = int64_t(m_wheelRemainder) + event->angleDelta().y();
    while (delta >= kWheelNotch || delta <= -kWheelNotch) {
        const bool up = delta > 0;
        delta += up ? -kWheelNotch : kWheelNotch;
        const int32_t before = m_value;
        up ? stepUp() : stepDown();
        // At the end of the range the other notches would change nothing.
        if (m_value == before) {
            delta = 0;
            break;
        }
    }
    m_wheelRemainder = int(delta);
}

void UpDown::addPagingKeys(QWidget *window)
{
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_PageDown), [this] { stepDown(); }},
        {QKeySequence(Qt::Key_PageUp), [this] { stepUp(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_End), [this] { setValue(m_min); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { setValue(m_max); }},
    };
    for (const auto &[key, step] : keys) {
        auto *action = new QAction(window);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
        connect(action, &QAction::triggered, this, step);
    }
}

void UpDown::takeWheelOf(QWidget *other)
{
    m_wheelOf = other;
    other->installEventFilter(this);
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched == m_wheelOf) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent *event)
{
    const int w = event->size().width();
    const int h = event->size().height();
    m_up->setGeometry(0, 0, w, h / 2);
    m_down->setGeometry(0, h / 2, w, h - h / 2);
    m_focusFrame->setGeometry(0, 0, w, h);
}

void UpDown::focusInEvent(QFocusEvent *event)
{
    m_focusFrame->raise();
    m_focusFrame->show();
    QWidget::focusInEvent(event);
}

void UpDown::focusOutEvent(QFocusEvent *event)
{
    m_focusFrame->hide();
    QWidget::focusOutEvent(event);
}

void UpDown::clampSilently()
{
    const int32_t lo = std::min(m_min, m_max);
    const int32_t hi = std::max(m_min, m_max);
    m_value = std::clamp(m_value, lo, hi);
}

void UpDown::setMin(int32_t min)
{
    setRange(min, m_max);
}

void UpDown::setMax(int32_t max)
{
    setRange(m_min, max);
}

void UpDown::setRange(int32_t min, int32_t max)
{
    m_min = min;
    m_max = max;
    clampSilently();
    valueTextChanged();
}

void UpDown::changeTo(int32_t value)
{
    const int32_t lo = std::min(m_min, m_max);
    const int32_t hi = std::max(m_min, m_max);
    value = std::clamp(value, lo, hi);
    if (value == m_value)
        return;
    m_value = value;
    valueTextChanged();
    emit changed();
}

void UpDown::setValue(int32_t value)
{
    changeTo(value);
}

// One step towards Max (up) or Min (down); the range may run either way.
// The comparisons keep the step inside 32 bits at either end of the range.
void UpDown::stepUp()
{
    if (m_value == m_max)
        return;
    changeTo(m_max > m_value ? m_value + 1 : m_value - 1);
}

void UpDown::stepDown()
{
    if (m_value == m_min)
        return;
    changeTo(m_min < m_value ? m_value - 1 : m_value + 1);
}

} // namespace nv::forms
