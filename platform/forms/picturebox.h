// The picture box: a container that fills itself with its background
// colour, can show a picture from its top-left corner and can hold other
// controls. Used as a colour swatch (background colour, single border), as
// a borderless page holding other controls, and to show an image.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
namespace nv::forms {

enum class BorderStyle { None, FixedSingle };

class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent);

    void setBackColor(uint32_t color); // colour word
    uint32_t backColor() const { return m_backColor; }

    // The single border is 2 px on each side (sunken), the picture and any
    // child controls sit inside it.
    void setBorderStyle(BorderStyle style);
    BorderStyle borderStyle() const { return m_border; }
    int borderWidth() const { return m_border == BorderStyle::FixedSingle ? 2 : 0; }

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }
    // Sizes the box to its picture plus the border, now and on each new picture.
    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }

    // Not reached by Tab (pages of a tab strip).
    void setTabStop(bool on);

signals:
    // A click with the left button inside the box.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void fitToPicture();

    uint32_t m_backColor;
    BorderStyle m_border = BorderStyle::None;
    QPixmap m_picture;
    bool m_autoSize = false;
};

} // namespace nv::forms
