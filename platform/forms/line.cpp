#include "platform/forms/line.h"

#include "platform/forms/color.h"
#include "platform/forms/units.h"

#include <QPainter>

#include <algorithm>

namespace nv::forms {

Line::Line(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    lower();
}

void Line::setPointsTwips(int x1, int y1, int x2, int y2)
{
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    place();
}

void Line::setBorderColor(uint32_t color)
{
    m_color = color & 0xFFFFFF;
    update();
}

void Line::setBorderWidth(int pixels)
{
    m_width = std::max(1, pixels);
    place();
}

void Line::place()
{
    // The widget covers the line's box; a wide line grows down and right
    // from its points.
    const int ax = twipsToPixels(m_x1), ay = twipsToPixels(m_y1);
    const int bx = twipsToPixels(m_x2), by = twipsToPixels(m_y2);
    setGeometry(std::min(ax, bx), std::min(ay, by), std::abs(bx - ax) + m_width,
                std::abs(by - ay) + m_width);
    lower();
    update();
}

void Line::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int ox = std::min(twipsToPixels(m_x1), twipsToPixels(m_x2));
    const int oy = std::min(twipsToPixels(m_y1), twipsToPixels(m_y2));
    const QPoint a(twipsToPixels(m_x1) - ox, twipsToPixels(m_y1) - oy);
    const QPoint b(twipsToPixels(m_x2) - ox, twipsToPixels(m_y2) - oy);
    if (a.y() == b.y() || a.x() == b.x()) {
        // Straight lines as exact pixel bands.
        p.fillRect(QRect(a, b).normalized().adjusted(0, 0, m_width - 1, m_width - 1),
                   toQColor(m_color));
        return;
    }
    QPen pen(toQColor(m_color));
    pen.setWidth(m_width);
    p.setPen(pen);
    p.drawLine(a, b);
}

} // namespace nv::forms
