// What the Go to Offset and Find dialogs share: their frame, the line that
// says why what was typed was not taken, and their two buttons.
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace nv {

namespace forms {
class Form;
class CommandButton;
class Label;
} // namespace forms

// A fixed dialog frame with `caption`, centred on its owner (the window that
// opens it sets it), whose client area is width x height twips.
void setUpSmallDialog(forms::Form &form, const QString &caption, int width, int height);

// A label with an access key and the field it names: the label at (left,
// top + 45) and `labelWidth` wide, the field after it, `fieldWidth` wide, in
// twips. The field's accessible name is the label's words, its description
// `description`.
struct LabelledField
{
    forms::Label *label;
    QLineEdit *field;
};
LabelledField makeLabelledField(QWidget *parent, const QString &caption, const QString &description,
                                int left, int top, int labelWidth, int fieldWidth);

// A label for reasons, empty at first, wrapping its text; a screen reader
// hears its text when it changes.
forms::Label *makeMessageLabel(QWidget *parent, int left, int top, int width, int height);

// The button that takes Enter at (left, top) in twips and Cancel, which takes
// Esc, beside it on its right.
struct DialogButtons
{
    forms::CommandButton *accept;
    forms::CommandButton *cancel;
};
DialogButtons makeDialogButtons(QWidget *parent, const QString &acceptCaption, int left, int top);

// "Not found: " and the pattern as typed, a long one shortened in its middle
// so that it stays one readable line of `shownIn`.
QString notFoundText(const QString &typed, const QWidget &shownIn);

// Shows `reason` in the label and gives the field the focus back with its
// text selected, so that typing replaces it.
void tellReason(forms::Label *message, QLineEdit *field, const QString &reason);

} // namespace nv
