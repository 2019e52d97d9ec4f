// What the Go to Offset and Find dialogs share: the line that says why what
// was typed was not taken.
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace nv {

namespace forms {
class Label;
}

// A label for reasons, empty at first, wrapping its text; a screen reader
// hears its text when it changes.
forms::Label *makeMessageLabel(QWidget *parent, int left, int top, int width, int height);

// Shows `reason` in the label and gives the field the focus back with its
// text selected, so that typing replaces it.
void tellReason(forms::Label *message, QLineEdit *field, const QString &reason);

} // namespace nv
