// A control array of menu items: the items of one drop-down menu, told apart
// by an index that need not be contiguous. The click event, clicked(index),
// carries the index. A disabled item raises no click, from the menu or its
// shortcut.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <map>

class QAction;
class QMenu;

namespace nv::forms {

class MenuArray : public QObject
{
    Q_OBJECT

public:
    // `menu` is the drop-down menu the items go into (not owned).
    explicit MenuArray(QMenu *menu);

    // Appends the item with this index. The caption "-" makes a separator
    // line. An ampersand marks the access key. The shortcut works wherever
    // the menu's window has the focus.
    QAction *add(int index, const QString &caption, const QKeySequence &shortcut = {},
                 bool enabled = true);

    bool exists(int index) const { return m_items.count(index) != 0; }
    QAction *item(int index) const; // null for an index that does not exist

    // Raise subscript out of range (9) for an index that does not exist.
    bool enabled(int index) const;
    void setEnabled(int index, bool enabled);

    // What a person's choice of the item does: the click, if it is enabled.
    void click(int index);

    QMenu *menu() const { return m_menu; }

signals:
    void clicked(int index);

private:
    QAction *checkedItem(int index) const;

    QMenu *m_menu;
    std::map<int, QAction *> m_items;
};

} // namespace nv::forms
