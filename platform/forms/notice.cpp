#include "platform/forms/notice.h"

#include <QAccessible>
#include <QToolTip>
#include <QWidget>

namespace nv::forms {

Notice::Notice(QWidget *anchor) : m_anchor(anchor) {}

void Notice::show(const QString &text)
{
    m_text = text;
    QToolTip::showText(m_anchor->mapToGlobal(QPoint(8, 8)), text, m_anchor);
    QAccessibleEvent event(m_anchor, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

QString Notice::text() const
{
    return m_text;
}

} // namespace nv::forms
