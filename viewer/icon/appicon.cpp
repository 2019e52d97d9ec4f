#include "viewer/icon/appicon.h"

#include <QPainter>
#include <QVector>

namespace nv {

namespace {
// The palette: transparent and fifteen of the classic sixteen colours.
enum Ink {
    Clear,
    Black,
    Navy,
    Green,
    Teal,
    Maroon,
    Purple,
    Olive,
    Silver,
    Grey,
    Blue,
    Lime,
    Aqua,
    Red,
    Yellow,
    White
};

QVector<QRgb> palette16()
{
    return {qRgba(0, 0, 0, 0),   qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),
            qRgb(0, 128, 128),   qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0),
            qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),
            qRgb(0, 255, 255),   qRgb(255, 0, 0),     qRgb(255, 255, 0), qRgb(255, 255, 255)};
}
} // namespace

QImage mainIconImage()
{
    const QVector<QRgb> pal = palette16();
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        auto ink = [&](int i) { return QColor::fromRgba(pal[i]); };

        // The page with a folded corner.
        const QPolygon page(
            {QPoint(3, 1), QPoint(20, 1), QPoint(26, 7), QPoint(26, 30), QPoint(3, 30)});
        p.setPen(ink(Navy));
        p.setBrush(ink(White));
        p.drawPolygon(page);
        p.setBrush(ink(Silver));
        p.drawPolygon(QPolygon({QPoint(20, 1), QPoint(20, 7), QPoint(26, 7)}));

        // Rows: an offset column, two groups of byte pairs.
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 8; ++row) {
            const int y = 4 + row * 3;
            if (y > 27)
                break;
            p.fillRect(5, y, 3, 2, ink(Navy));
            const int right = row < 2 ? 19 : 25;
            for (int x = 9; x + 2 <= right; x += 3)
                p.fillRect(x, y, 2, 2, ink((row + x) % 2 ? Teal : Blue));
        }

        // The magnifying glass over the lower right.
        p.setPen(QPen(ink(Black), 2));
        p.setBrush(ink(Aqua));
        p.drawEllipse(QRect(15, 15, 10, 10));
        p.setPen(QPen(ink(Maroon), 3, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(26, 26, 29, 29);
        p.setPen(ink(White));
        p.drawPoint(18, 18);
        p.drawPoint(19, 18);
        p.drawPoint(18, 19);
    }
    // Drawn without antialiasing in palette colours only, so the indexed
    // copy is exact.
    return img.convertToFormat(QImage::Format_Indexed8, pal, Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace nv
