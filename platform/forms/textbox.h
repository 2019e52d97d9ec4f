// The text box: a Qt text widget that shows exactly the text it was given.
//
// Qt's text widgets keep paragraphs, not characters: a carriage return and
// line feed become one paragraph break and reading the text back loses the
// carriage return. This control therefore keeps the real text itself, and
// maps the selection between it and the widget: selection start and length
// count characters of the real text from 0, and a CR LF pair is selected
// whole or not at all.
//
// Replacing the text only records it; the widget is brought up to date once,
// by a call posted to the event loop (QCoreApplication::sendPostedEvents on
// the box runs it at once), or before it paints, takes a key or mouse press
// or the focus. Code that replaces the text many times in a row, as page rendering
// does, costs one relayout, not one per replacement.
//
// The text box claims no copy, cut or select-all keys and has no context
// menu: those belong to the window's menu, which works on the real text.
#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <cstdint>
#include <vector>

namespace nv::forms {

// The error a negative selection length raises.
constexpr int32_t kInvalidPropertyValue = 380;

class TextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent);

    // The whole text. Setting it puts the selection at 0 with length 0. With
    // a maximum length, text beyond it is cut off.
    const QString &text() const { return m_text; }
    void setText(const QString &text);
    // The same as setText(text() + tail), without copying the text so far
    // when nothing else holds it.
    void appendText(QStringView tail);

    // Selection in characters of the real text. A start beyond the end means
    // the end; a length beyond the end is cut to the end; a negative start or
    // length raises invalid property value (380).
    int selStart() const;
    int selLength() const;
    void setSelStart(int start);
    void setSelLength(int length);
    QString selText() const;

    // 0: no limit.
    void setMaxLength(int length) { m_maxLength = length; }
    int maxLength() const { return m_maxLength; }

    // Locked: the user can select but not type or delete.
    void setLocked(bool locked);
    bool locked() const { return m_locked; }
    void setMultiLine(bool multiLine);
    bool multiLine() const { return m_multiLine; }
    void setScrollBarsNone(); // no scroll bars in either direction

    // Colour words (red in the lowest byte).
    void setBackColor(uint32_t color);
    uint32_t backColor() const { return m_backColor; }
    void setForeColor(uint32_t color);
    uint32_t foreColor() const { return m_foreColor; }

    void setFontByName(const QString &family, double pointSize, bool bold = false);

    // Runs of the real text drawn on `background`, beneath the selection;
    // a new text takes them away.
    struct Run
    {
        int start = 0;
        int length = 0;
        bool operator==(const Run &) const = default;
    };
    void setMarks(const std::vector<Run> &runs, uint32_t background);
    // The same from any runs with a start and a length.
    template <class Runs> void setMarks(const Runs &runs, uint32_t background)
    {
        std::vector<Run> marks;
        for (const auto &r : runs)
            marks.push_back({r.start, r.length});
        setMarks(marks, background);
    }
    const std::vector<Run> &marks() const { return m_marks; }

signals:
    // A click with the mouse in the text, after the selection it made.
    void clicked();
    // The person moved the selection (mouse or keys); not raised for a
    // selection set in code.
    void selectionMoved();

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    static bool isMenuKey(const QKeyEvent *e);
    void textReplaced(qsizetype unchanged);
    // Brings the widget up to date with the real text and selection now.
    void syncWidget();
    // Position maps between the real text and the widget's document.
    int toShown(int realPos) const;
    int toReal(int shownPos) const;
    void scheduleSync();
    void readUserSelection() const;
    void applyPalette();
    void applyMarks();

    QString m_text;
    std::vector<int> m_pairs; // real index of every CR that starts a CR LF pair
    mutable int m_selStart = 0;
    mutable int m_selLength = 0;
    bool m_textDirty = false;
    bool m_selDirty = false;
    bool m_marksDirty = false;
    std::vector<Run> m_marks;
    uint32_t m_markColor = 0;
    bool m_syncQueued = false;
    bool m_syncing = false;
    mutable bool m_userSelection = false; // the widget's selection is newer than ours
    int m_maxLength = 0;
    bool m_locked = false;
    bool m_multiLine = true;
    uint32_t m_backColor = 0xFFFFFF;
    uint32_t m_foreColor = 0;
};

} // namespace nv::forms
