#include "viewer/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace nv {

namespace {

// Hex digits of the product name and version, as the viewer would show them.
const char *const kHexRows[] = {
    "4E 6F 72 76 61 6C 65 20", "33 2E 30 2E 34 00 FF 7F", "00 10 20 30 40 50 60 70",
    "80 90 A0 B0 C0 D0 E0 F0", "0F 1E 2D 3C 4B 5A 69 78", "87 96 A5 B4 C3 D2 E1 F0",
    "DE AD BE EF CA FE BA BE", "01 23 45 67 89 AB CD EF", "FE DC BA 98 76 54 32 10",
    "4E 56 33 00 00 02 00 00", "20 20 2E 2E 2E 2E 20 20",
};

QImage toRgb888(const QImage &img)
{
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace

QImage splashPicture()
{
    const int w = 277, h = 348;
    const int band = 218; // where the dark title area ends
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient top(0, 0, 0, band);
    top.setColorAt(0.0, QColor(14, 32, 64));
    top.setColorAt(1.0, QColor(28, 78, 128));
    p.fillRect(0, 0, w, band, top);

    // A faint page of hex digits behind the title.
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(11);
    p.setFont(mono);
    p.setPen(QColor(80, 140, 200, 70));
    int y = 16;
    for (const char *row : kHexRows) {
        p.drawText(10, y, QString::fromLatin1(row));
        y += 18;
    }

    QRadialGradient glow(w / 2.0, 92, 120);
    glow.setColorAt(0.0, QColor(120, 190, 255, 90));
    glow.setColorAt(1.0, QColor(120, 190, 255, 0));
    p.fillRect(0, 0, w, band, glow);

    // The title and a stylised magnifier over a byte.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, 98, w - 6, 56), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Norvale"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(190, 220, 250));
    p.drawText(QRect(0, 152, w - 6, 20), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("hex / ASCII file viewer"));

    const QPointF lens(138, 62);
    p.setPen(QPen(QColor(255, 255, 255), 5));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(lens, 26, 26);
    p.setPen(QPen(QColor(255, 255, 255), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens + QPointF(19, 19), lens + QPointF(36, 36));
    QFont lensFont(mono);
    lensFont.setPixelSize(20);
    lensFont.setBold(true);
    p.setFont(lensFont);
    p.setPen(QColor(255, 214, 90));
    p.drawText(QRectF(lens.x() - 26, lens.y() - 26, 52, 52), Qt::AlignCenter, QStringLiteral("4E"));

    // An accent stripe, then the light area that carries the labels.
    p.fillRect(0, band, w, 4, QColor(255, 180, 40));
    QLinearGradient bottom(0, band + 4, 0, h);
    bottom.setColorAt(0.0, QColor(250, 251, 253));
    bottom.setColorAt(1.0, QColor(222, 230, 240));
    p.fillRect(0, band + 4, w, h - band - 4, bottom);
    p.end();
    return toRgb888(img);
}

QImage aboutPicture()
{
    const int s = 64;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(255, 255, 255));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0.0, QColor(22, 52, 98));
    g.setColorAt(1.0, QColor(40, 100, 160));
    QPainterPath card;
    card.addRoundedRect(QRectF(2, 2, s - 4, s - 4), 9, 9);
    p.fillPath(card, g);

    // Three rows of "bytes" as small bars, the middle one highlighted.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            QColor c = row == 1 && col == 1 ? QColor(255, 196, 60) : QColor(150, 200, 245);
            p.fillRect(QRectF(9 + col * 12, 12 + row * 9, 9, 5), c);
        }
    }
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, 38, s, 22), Qt::AlignCenter, QStringLiteral("NV"));
    p.end();
    return toRgb888(img);
}

} // namespace nv
