// A transient notice at a control: a short text in a tooltip that goes by
// itself, with no box to dismiss and nothing in the window's layout moved.
//
// Qt 6.4 has no call that makes a screen reader speak, so the notice reaches
// one the ways it has: the tooltip window is shown (screen readers speak a
// tooltip that appears), the anchor's accessible description carries the
// text while the notice lasts (a change to the focused control's
// description is spoken), and an alert event is raised for the anchor.
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace nv::forms {

class Notice
{
public:
    explicit Notice(QWidget *anchor);

    // Shows `text` at the anchor, in place of any notice still shown.
    void show(const QString &text);
    // Tells a screen reader `text` the same way, without the tooltip.
    void announce(const QString &text);
    // Takes a notice still shown away, as when what it says no longer holds.
    void hide();
    // The last text shown or announced.
    QString text() const { return m_text; }

    // How long a notice stays.
    static constexpr int kShownMs = 3000;

private:
    void restoreDescription();

    QPointer<QWidget> m_anchor;
    QString m_text;
    QString m_description; // the anchor's own, while a notice borrows it
    bool m_borrowed = false;
    QTimer m_timer;
};

} // namespace nv::forms
