// The label: static text with an alignment, a font, a text colour and an
// opaque or transparent background. A fixed-size label wraps its text at word
// boundaries inside its box. A self-sizing label takes the width and height
// of its text on one line, keeping its left and top edges.
#pragma once

#include <QLabel>

#include <cstdint>

namespace nv::forms {

enum class Alignment { Left, Right, Center };

class Label : public QLabel
{
    Q_OBJECT

public:
    Label(const QString &caption, QWidget *parent);

    void setCaption(const QString &caption);
    QString caption() const { return text(); }

    void setAlignment(Alignment alignment);
    Alignment alignment() const { return m_alignment; }
    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }
    // Transparent: whatever lies under the label shows through.
    void setTransparent(bool on);
    bool transparent() const { return m_transparent; }

    void setForeColor(uint32_t color); // colour word
    uint32_t foreColor() const { return m_foreColor; }
    void setBackColor(uint32_t color);
    uint32_t backColor() const { return m_backColor; }
    void setFontByName(const QString &family, double pointSize, bool bold = false);

private:
    void fitToText();
    void applyPalette();

    Alignment m_alignment = Alignment::Left;
    bool m_autoSize = false;
    bool m_transparent = false;
    uint32_t m_foreColor = 0;
    uint32_t m_backColor;
};

} // namespace nv::forms
