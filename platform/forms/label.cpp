#include "platform/forms/label.h"

#include "platform/forms/color.h"

#include <QFont>
#include <QPalette>

namespace nv::forms {

Label::Label(const QString &caption, QWidget *parent)
    : QLabel(caption, parent), m_backColor(toColorWord(palette().color(QPalette::Window)))
{
    setWordWrap(true);
    setAlignment(Alignment::Left);
    m_foreColor = toColorWord(palette().color(QPalette::WindowText));
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    fitToText();
}

void Label::setAlignment(Alignment alignment)
{
    m_alignment = alignment;
    Qt::Alignment a = Qt::AlignTop;
    switch (alignment) {
    case Alignment::Left:
        a |= Qt::AlignLeft;
        break;
    case Alignment::Right:
        a |= Qt::AlignRight;
        break;
    case Alignment::Center:
        a |= Qt::AlignHCenter;
        break;
    }
    QLabel::setAlignment(a);
}

void Label::setAutoSize(bool on)
{
    m_autoSize = on;
    setWordWrap(!on);
    fitToText();
}

void Label::fitToText()
{
    if (!m_autoSize)
        return;
    // Keeps its top-left corner, as resize does.
    const QFontMetrics fm(font());
    const QSize s = fm.size(Qt::TextSingleLine, text());
    resize(s.width() + 2 * margin(), s.height() + 2 * margin());
}

void Label::setTransparent(bool on)
{
    m_transparent = on;
    applyPalette();
}

void Label::setForeColor(uint32_t color)
{
    m_foreColor = color & 0xFFFFFF;
    applyPalette();
}

void Label::setBackColor(uint32_t color)
{
    m_backColor = color & 0xFFFFFF;
    applyPalette();
}

void Label::applyPalette()
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(m_foreColor));
    p.setColor(QPalette::Window, toQColor(m_backColor));
    setPalette(p);
    setAutoFillBackground(!m_transparent);
    setAttribute(Qt::WA_TranslucentBackground, m_transparent);
}

void Label::setFontByName(const QString &family, double pointSize, bool bold)
{
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    setFont(f);
    fitToText();
}

} // namespace nv::forms
