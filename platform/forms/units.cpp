#include "platform/forms/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace nv::forms {

namespace {
// The twips last set on a widget, with the pixel value they produced: the
// twips are only trusted while the pixel value still agrees.
constexpr const char *kProp[4] = {"nvLeftTwips", "nvTopTwips", "nvWidthTwips", "nvHeightTwips"};

void remember(QWidget *w, int which, int twips)
{
    w->setProperty(kProp[which], twips);
}

int recall(const QWidget *w, int which, int pixels)
{
    const QVariant v = w->property(kProp[which]);
    if (v.isValid() && twipsToPixels(v.toInt()) == pixels)
        return v.toInt();
    return pixelsToTwips(pixels);
}
} // namespace

int twipsToPixels(int twips)
{
    return int(std::lround(double(twips) / kTwipsPerPixel));
}

QRect twipsToPixels(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

void placeTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsToPixels(left, top, width, height));
    remember(w, 0, left);
    remember(w, 1, top);
    remember(w, 2, width);
    remember(w, 3, height);
}

void setLeftTwips(QWidget *w, int left)
{
    w->move(twipsToPixels(left), w->y());
    remember(w, 0, left);
}

void setTopTwips(QWidget *w, int top)
{
    w->move(w->x(), twipsToPixels(top));
    remember(w, 1, top);
}

void resizeTwips(QWidget *w, int width, int height)
{
    w->resize(twipsToPixels(width), twipsToPixels(height));
    remember(w, 2, width);
    remember(w, 3, height);
}

int leftTwips(const QWidget *w)
{
    return recall(w, 0, w->x());
}
int topTwips(const QWidget *w)
{
    return recall(w, 1, w->y());
}
int widthTwips(const QWidget *w)
{
    return recall(w, 2, w->width());
}
int heightTwips(const QWidget *w)
{
    return recall(w, 3, w->height());
}

QSize screenSizeTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0};
    const QSize px = screen->size();
    return {pixelsToTwips(px.width()), pixelsToTwips(px.height())};
}

} // namespace nv::forms
