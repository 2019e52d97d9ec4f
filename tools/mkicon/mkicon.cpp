// Build-time tool: writes the main window's icon for the desktop's icon
// theme, as DIR/NxN/apps/norvale3.png at the sizes desktops ask for.
#include "viewer/icon/appicon.h"

#include <QDir>

#include <cstdio>

namespace {

// The icon is 32 x 32 pixel art: whole multiples keep its pixels sharp;
// other sizes are smoothed down from the next whole multiple up.
QImage iconAt(const QImage &art, int size)
{
    const int factor = (size + art.width() - 1) / art.width();
    const QImage whole = art.convertToFormat(QImage::Format_ARGB32)
                             .scaled(art.width() * factor, art.height() * factor,
                                     Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (whole.width() == size)
        return whole;
    return whole.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ICON-THEME-DIR\n", argv[0]);
        return 2;
    }
    const QImage art = nv::mainIconImage();
    const QString top = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = top + QStringLiteral("/%1x%1/apps").arg(size);
        const QString file = dir + QStringLiteral("/norvale3.png");
        // The 32 x 32 file is the window's own icon, palette and all.
        const QImage image = size == art.width() ? art : iconAt(art, size);
        if (!QDir().mkpath(dir) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
            return 1;
        }
    }
    return 0;
}
