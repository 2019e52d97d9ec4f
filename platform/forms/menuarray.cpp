#include "platform/forms/menuarray.h"

#include "platform/runtime/error.h"

#include <QAction>
#include <QMenu>

namespace nv::forms {

MenuArray::MenuArray(QMenu *menu) : m_menu(menu) {}

QAction *MenuArray::add(int index, const QString &caption, const QKeySequence &shortcut,
                        bool enabled)
{
    QAction *action =
        caption == QLatin1String("-") ? m_menu->addSeparator() : m_menu->addAction(caption);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The shortcut belongs to the whole window, whichever control has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        if (QWidget *window = m_menu->window(); window && window != m_menu)
            window->addAction(action);
    }
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, index] { click(index); });
    m_items[index] = action;
    return action;
}

QAction *MenuArray::item(int index) const
{
    const auto it = m_items.find(index);
    return it == m_items.end() ? nullptr : it->second;
}

QAction *MenuArray::checkedItem(int index) const
{
    QAction *a = item(index);
    if (!a)
        raise(err::SubscriptOutOfRange);
    return a;
}

bool MenuArray::enabled(int index) const
{
    return checkedItem(index)->isEnabled();
}
void MenuArray::setEnabled(int index, bool enabled)
{
    checkedItem(index)->setEnabled(enabled);
}

void MenuArray::click(int index)
{
    QAction *a = item(index);
    if (!a || !a->isEnabled())
        return;
    emit clicked(index);
}

} // namespace nv::forms
