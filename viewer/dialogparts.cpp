#include "viewer/dialogparts.h"

#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/units.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QLineEdit>

namespace nv {

void setUpSmallDialog(forms::Form &form, const QString &caption, int width, int height)
{
    form.setCaption(caption);
    // A dialog of its owner rather than a tool window: as the owner's
    // transient window it stays above it and out of the task bar.
    form.setFrameStyle(forms::FrameStyle::FixedDialog);
    form.setStartUpPosition(forms::StartUpPosition::CenterOwner);
    form.setClientSizeTwips(width, height);
}

LabelledField makeLabelledField(QWidget *parent, const QString &caption, const QString &description,
                                int left, int top, int labelWidth, int fieldWidth)
{
    // The classic heights: a label of one line, a field a little taller,
    // the label's text level with the field's.
    constexpr int kLabelHeight = 255, kFieldHeight = 330, kLabelDrop = 45;
    LabelledField f{new forms::Label(caption, parent), new QLineEdit(parent)};
    forms::placeTwips(f.label, left, top + kLabelDrop, labelWidth, kLabelHeight);
    forms::placeTwips(f.field, left + labelWidth, top, fieldWidth, kFieldHeight);
    f.label->setBuddy(f.field);
    f.field->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
    f.field->setAccessibleDescription(description);
    return f;
}

forms::Label *makeMessageLabel(QWidget *parent, int left, int top, int width, int height)
{
    auto *label = new forms::Label(QString(), parent);
    forms::placeTwips(label, left, top, width, height);
    // Reasons quote what the user typed, which is never markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAccessibleName(QStringLiteral("Message"));
    return label;
}

DialogButtons makeDialogButtons(QWidget *parent, const QString &acceptCaption, int left, int top)
{
    // The classic button size, and the gap the other windows leave between two.
    constexpr int kWidth = 1095, kHeight = 375, kStep = kWidth + 210;
    DialogButtons b{new forms::CommandButton(acceptCaption, parent),
                    new forms::CommandButton(QStringLiteral("Cancel"), parent)};
    forms::placeTwips(b.accept, left, top, kWidth, kHeight);
    b.accept->setDefaultButton(true);
    forms::placeTwips(b.cancel, left + kStep, top, kWidth, kHeight);
    b.cancel->setCancelButton(true);
    return b;
}

QString notFoundText(const QString &typed, const QWidget &shownIn)
{
    const QString lead = QStringLiteral("Not found: ");
    const QFontMetrics metrics = shownIn.fontMetrics();
    const int room = shownIn.contentsRect().width() - metrics.horizontalAdvance(lead);
    return lead + metrics.elidedText(typed, Qt::ElideMiddle, room);
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
