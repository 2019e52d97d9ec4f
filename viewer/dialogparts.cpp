#include "viewer/dialogparts.h"

#include "platform/forms/label.h"
#include "platform/forms/units.h"

#include <QAccessible>
#include <QLineEdit>

namespace nv {

forms::Label *makeMessageLabel(QWidget *parent, int left, int top, int width, int height)
{
    auto *label = new forms::Label(QString(), parent);
    forms::placeTwips(label, left, top, width, height);
    label->setWordWrap(true);
    label->setAccessibleName(QStringLiteral("Message"));
    return label;
}

void tellReason(forms::Label *message, QLineEdit *field, const QString &reason)
{
    message->setCaption(reason);
    // The field keeps the focus: its description carries the reason to a
    // screen reader, and the label's alert says it at once.
    field->setAccessibleDescription(reason);
    QAccessibleEvent alert(message, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    field->setFocus();
    field->selectAll();
}

} // namespace nv
