// The band under a text display's last line of text: a status bar of the
// window's own that shows a notice when there is one and a status line when
// there is none. It lies over the empty strip the display leaves below its
// lines, so nothing of the window's layout moves and no text is covered.
//
// A transient notice stays kShownMs, counted from when no modal window or
// menu of the program is open any more (a notice raised behind a dialog is
// seen when the dialog closes), or until the next command ends it. A lasting
// notice stays until it is taken away, and comes back when a transient one
// over it ends.
//
// Screen readers: the band is a status bar whose name is what it shows, and
// every notice also raises an alert at the display, whose accessible
// description carries the text while the notice lasts (Qt 6.4 has no call
// that makes a screen reader speak; a change of the focused control's
// description is spoken).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QPlainTextEdit;
class QStatusBar;

namespace nv::forms {

class Notice : public QObject
{
    Q_OBJECT

public:
    // A band over `display`'s bottom below its first `lines` lines of text,
    // a child of the display's parent.
    Notice(QPlainTextEdit *display, int lines);
    ~Notice() override;

    // What the band shows while no notice is shown.
    void setStatus(const QString &status);
    // A transient notice, in place of any transient one still shown.
    void show(const QString &text);
    // A notice that stays until hide().
    void showLasting(const QString &text);
    // Tells a screen reader `text` the way a notice does, without showing it.
    void announce(const QString &text);
    // The next command has begun: a transient notice goes.
    void endTransient();
    // Every notice goes, lasting ones too.
    void hide();

    // The last text shown or announced.
    QString text() const { return m_text; }
    // What the band shows now: a notice, or else the status.
    QString shown() const;
    QStatusBar *band() const { return m_band; }

    // How long a transient notice stays once it can be seen.
    static constexpr int kShownMs = 4000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void startClockWhenSeen();
    void alert(const QString &text);
    void restoreDescription();
    void place();

    QPointer<QPlainTextEdit> m_display;
    QStatusBar *m_band;
    int m_lines;
    QString m_status;
    QString m_transient;
    QString m_lasting;
    QString m_text;
    QString m_description; // the display's own, while a notice borrows it
    bool m_borrowed = false;
    QTimer m_clock;      // the transient notice's time
    QTimer m_waitUnseen; // while a modal window or menu hides it
};

} // namespace nv::forms
