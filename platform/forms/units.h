// Twips, the unit of every window position and size: 1440 per inch, 15 per
// pixel. Qt scales pixels for high-DPI screens itself, so 15 is fixed here.
//
// A control placed in twips keeps the twips it was given (as widget
// properties), so reading back a position that does not fall on a whole pixel
// (-20000 twips is -1333.3 px) gives the value that was set, as long as the
// widget has not been moved by other means since.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace nv::forms {

constexpr int kTwipsPerPixel = 15;

// Nearest pixel, halves away from zero.
int twipsToPixels(int twips);
constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

QRect twipsToPixels(int left, int top, int width, int height);

// Geometry of a control (relative to its container) or of a window's client
// area, in twips.
void placeTwips(QWidget *w, int left, int top, int width, int height);
void setLeftTwips(QWidget *w, int left);
void setTopTwips(QWidget *w, int top);
void resizeTwips(QWidget *w, int width, int height);
int leftTwips(const QWidget *w);
int topTwips(const QWidget *w);
int widthTwips(const QWidget *w);
int heightTwips(const QWidget *w);

// The primary screen's size in twips (0 x 0 without a screen).
QSize screenSizeTwips();

} // namespace nv::forms
