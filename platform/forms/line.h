// The line: a straight line drawn on its container's background, from one
// point to another in twips of the container. It takes no mouse input and
// lies below the container's other controls.
#pragma once

#include <QWidget>

#include <cstdint>

namespace nv::forms {

class Line : public QWidget
{
    Q_OBJECT

public:
    explicit Line(QWidget *parent);

    void setPointsTwips(int x1, int y1, int x2, int y2);
    int x1Twips() const { return m_x1; }
    int y1Twips() const { return m_y1; }
    int x2Twips() const { return m_x2; }
    int y2Twips() const { return m_y2; }

    void setBorderColor(uint32_t color); // colour word
    uint32_t borderColor() const { return m_color; }
    void setBorderWidth(int pixels);
    int borderWidth() const { return m_width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    uint32_t m_color = 0;
    int m_width = 1;
};

} // namespace nv::forms
