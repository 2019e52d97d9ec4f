#include "platform/forms/picturebox.h"

#include "platform/forms/color.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace nv::forms {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent), m_backColor(toColorWord(palette().color(QPalette::Window)))
{
}

void PictureBox::setBackColor(uint32_t color)
{
    m_backColor = color & 0xFFFFFF;
    update();
}

void PictureBox::setBorderStyle(BorderStyle style)
{
    m_border = style;
    fitToPicture();
    update();
}

void PictureBox::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    fitToPicture();
    update();
}

void PictureBox::setAutoSize(bool on)
{
    m_autoSize = on;
    fitToPicture();
}

void PictureBox::fitToPicture()
{
    if (m_autoSize && !m_picture.isNull())
        resize(m_picture.width() + 2 * borderWidth(), m_picture.height() + 2 * borderWidth());
}

void PictureBox::setTabStop(bool on)
{
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int b = borderWidth();
    p.fillRect(rect().adjusted(b, b, -b, -b), toQColor(m_backColor));
    if (!m_picture.isNull()) {
        p.setClipRect(rect().adjusted(b, b, -b, -b));
        p.drawPixmap(b, b, m_picture);
        p.setClipping(false);
    }
    if (b) {
        // A sunken 2 px border: dark outside top-left, light bottom-right.
        const QRect r = rect();
        const QPalette &pal = palette();
        qDrawWinPanel(&p, r, pal, true);
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    else
        QWidget::mouseReleaseEvent(event);
}

} // namespace nv::forms
