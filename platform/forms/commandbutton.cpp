#include "platform/forms/commandbutton.h"

#include <QKeyEvent>

namespace nv::forms {

CommandButton::CommandButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    setAutoDefault(false);
}

void CommandButton::setDefaultButton(bool on)
{
    if (on)
        for (CommandButton *b : window()->findChildren<CommandButton *>())
            if (b != this)
                b->m_default = false;
    m_default = on;
    // Only the look: Enter is handled by the window.
    setDefault(on);
}

void CommandButton::setCancelButton(bool on)
{
    if (on)
        for (CommandButton *b : window()->findChildren<CommandButton *>())
            if (b != this)
                b->m_cancel = false;
    m_cancel = on;
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace nv::forms
