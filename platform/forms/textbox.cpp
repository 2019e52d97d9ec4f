#include "platform/forms/textbox.h"

#include "platform/forms/color.h"
#include "platform/runtime/error.h"

#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace nv::forms {

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setContextMenuPolicy(Qt::NoContextMenu);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A thin inner margin, as the classic edit control has: a full line of
    // 76 fixed-pitch characters must fit the box's width.
    document()->setDocumentMargin(1);
    // Any selection the person makes in the widget is newer than ours.
    for (auto signal : {&QPlainTextEdit::selectionChanged, &QPlainTextEdit::cursorPositionChanged})
        connect(this, signal, this, [this] {
            if (m_syncing)
                return;
            m_userSelection = true;
            emit selectionMoved();
        });
    applyPalette();
}

void TextBox::setText(const QString &text)
{
    m_text = (m_maxLength > 0 && text.size() > m_maxLength) ? text.left(m_maxLength) : text;
    textReplaced(0);
}

void TextBox::appendText(QStringView tail)
{
    const qsizetype before = m_text.size();
    if (m_maxLength > 0 && before + tail.size() > m_maxLength)
        tail = tail.first(std::max<qsizetype>(0, m_maxLength - before));
    m_text.append(tail);
    textReplaced(before);
}

// After a new text whose first `unchanged` characters are those of the old
// one: the pairs inside them stay, the rest are found again (a CR just before
// the changed part may pair with an LF at its start). Then as setText.
void TextBox::textReplaced(qsizetype unchanged)
{
    while (!m_pairs.empty() && m_pairs.back() + 1 >= unchanged)
        m_pairs.pop_back();
    const QStringView text(m_text);
    for (qsizetype i = text.indexOf(u'\r', std::max<qsizetype>(0, unchanged - 1));
         i >= 0 && i + 1 < text.size(); i = text.indexOf(u'\r', i + 1)) {
        if (text[i + 1] == u'\n')
            m_pairs.push_back(int(i++));
    }
    m_selStart = 0;
    m_selLength = 0;
    m_userSelection = false;
    m_textDirty = true;
    m_selDirty = true;
    m_marksDirty = !m_marks.empty();
    m_marks.clear();
    scheduleSync();
}

void TextBox::setMarks(const std::vector<Run> &runs, uint32_t background)
{
    m_marks = runs;
    m_markColor = background & 0xFFFFFF;
    m_marksDirty = true;
    scheduleSync();
}

void TextBox::applyMarks()
{
    QList<QTextEdit::ExtraSelection> selections;
    QTextCharFormat format;
    format.setBackground(toQColor(m_markColor));
    for (const Run &run : m_marks) {
        QTextCursor c(document());
        c.setPosition(toShown(run.start));
        c.setPosition(toShown(run.start + run.length), QTextCursor::KeepAnchor);
        selections.append({c, format});
    }
    setExtraSelections(selections);
    m_marksDirty = false;
}

int TextBox::toShown(int realPos) const
{
    // Every pair that ends before realPos is one character less on screen.
    const auto k = std::lower_bound(m_pairs.begin(), m_pairs.end(), realPos - 1) - m_pairs.begin();
    return realPos - int(k);
}

int TextBox::toReal(int shownPos) const
{
    // Pair j sits at shown position m_pairs[j] - j, which rises with j.
    int lo = 0, hi = int(m_pairs.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (m_pairs[size_t(mid)] - mid < shownPos)
            lo = mid + 1;
        else
            hi = mid;
    }
    return std::min(shownPos + lo, int(m_text.size()));
}

void TextBox::readUserSelection() const
{
    if (!m_userSelection)
        return;
    m_userSelection = false;
    const QTextCursor c = textCursor();
    const int a = toReal(c.selectionStart());
    const int b = toReal(c.selectionEnd());
    m_selStart = a;
    m_selLength = b - a;
}

int TextBox::selStart() const
{
    readUserSelection();
    return m_selStart;
}

int TextBox::selLength() const
{
    readUserSelection();
    return m_selLength;
}

QString TextBox::selText() const
{
    readUserSelection();
    return m_text.mid(m_selStart, m_selLength);
}

void TextBox::setSelStart(int start)
{
    if (start < 0)
        nv::raise(kInvalidPropertyValue, "Invalid property value");
    readUserSelection();
    m_selStart = std::min(start, int(m_text.size()));
    m_selLength = 0;
    m_selDirty = true;
    scheduleSync();
}

void TextBox::setSelLength(int length)
{
    if (length < 0)
        nv::raise(kInvalidPropertyValue, "Invalid property value");
    readUserSelection();
    m_selLength = std::min(length, int(m_text.size()) - m_selStart);
    m_selDirty = true;
    scheduleSync();
}

void TextBox::scheduleSync()
{
    viewport()->update();
    if (m_syncQueued)
        return;
    m_syncQueued = true;
    // A posted call, so the event loop (or anyone sending the box's posted
    // events) brings the widget up to date.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_syncQueued = false;
            syncWidget();
        },
        Qt::QueuedConnection);
}

void TextBox::syncWidget()
{
    if (!m_textDirty && !m_selDirty && !m_marksDirty)
        return;
    m_syncing = true;
    if (m_textDirty) {
        QString shown;
        shown.reserve(m_text.size());
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar ch = m_text.at(i);
            if (ch == u'\r') {
                // CR LF, and a lone CR, are one line break on screen.
                shown.append(u'\n');
                if (i + 1 < m_text.size() && m_text.at(i + 1) == u'\n')
                    ++i;
            } else {
                shown.append(ch);
            }
        }
        setPlainText(shown);
        m_textDirty = false;
    }
    if (m_selDirty) {
        QTextCursor c(document());
        c.setPosition(toShown(m_selStart));
        c.setPosition(toShown(m_selStart + m_selLength), QTextCursor::KeepAnchor);
        setTextCursor(c);
        m_selDirty = false;
    }
    if (m_marksDirty)
        applyMarks();
    m_syncing = false;
}

void TextBox::setLocked(bool locked)
{
    m_locked = locked;
    setReadOnly(locked);
    if (locked)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TextBox::setMultiLine(bool multiLine)
{
    m_multiLine = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TextBox::setScrollBarsNone()
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TextBox::setBackColor(uint32_t color)
{
    m_backColor = color & 0xFFFFFF;
    applyPalette();
}

void TextBox::setForeColor(uint32_t color)
{
    m_foreColor = color & 0xFFFFFF;
    applyPalette();
}

void TextBox::applyPalette()
{
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, toQColor(m_backColor));
        p.setColor(group, QPalette::Text, toQColor(m_foreColor));
    }
    setPalette(p);
}

void TextBox::setFontByName(const QString &family, double pointSize, bool bold)
{
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    setFont(f);
}

bool TextBox::isMenuKey(const QKeyEvent *e)
{
    return e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut) ||
           e->matches(QKeySequence::SelectAll);
}

bool TextBox::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::ShortcutOverride:
        // Leave copy, cut and select-all to the window's menu shortcuts.
        if (isMenuKey(static_cast<QKeyEvent *>(e))) {
            e->ignore();
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::FocusIn:
        syncWidget();
        break;
    default:
        break;
    }
    return QPlainTextEdit::event(e);
}

bool TextBox::viewportEvent(QEvent *e)
{
    switch (e->type()) {
    case QEvent::Paint:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        syncWidget();
        break;
    default:
        break;
    }
    return QPlainTextEdit::viewportEvent(e);
}

void TextBox::keyPressEvent(QKeyEvent *e)
{
    // The menu's keys reach here only when their menu item is disabled;
    // then they do nothing.
    if (isMenuKey(e)) {
        e->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TextBox::mouseReleaseEvent(QMouseEvent *e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        emit clicked();
}

void TextBox::showEvent(QShowEvent *e)
{
    syncWidget();
    QPlainTextEdit::showEvent(e);
}

} // namespace nv::forms
