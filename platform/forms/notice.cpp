#include "platform/forms/notice.h"

#include <QAccessible>
#include <QToolTip>

namespace nv::forms {

Notice::Notice(QWidget *anchor) : m_anchor(anchor)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShownMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { restoreDescription(); });
}

void Notice::show(const QString &text)
{
    announce(text);
    if (!m_anchor)
        return;
    // Near the middle of the control, where the eye is.
    const QPoint at(m_anchor->width() / 3, m_anchor->height() / 3);
    QToolTip::showText(m_anchor->mapToGlobal(at), text, m_anchor, QRect(), kShownMs);
}

void Notice::announce(const QString &text)
{
    m_text = text;
    if (!m_anchor)
        return;
    if (!m_borrowed) {
        m_description = m_anchor->accessibleDescription();
        m_borrowed = true;
    }
    m_anchor->setAccessibleDescription(text);
    QAccessibleEvent alert(m_anchor.data(), QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    m_timer.start();
}

void Notice::hide()
{
    m_timer.stop();
    restoreDescription();
    if (QToolTip::isVisible() && QToolTip::text() == m_text)
        QToolTip::hideText();
}

void Notice::restoreDescription()
{
    if (m_borrowed && m_anchor)
        m_anchor->setAccessibleDescription(m_description);
    m_borrowed = false;
}

} // namespace nv::forms
