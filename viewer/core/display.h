// What the page path needs of the main window's display: its whole text,
// read and replaced, and its two colours, which the options dialog sets.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace nv {

class DisplayText
{
public:
    virtual ~DisplayText() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;

    // One replacement of the whole text by its current text followed by
    // `tail`. A display that keeps its text where it can grow overrides this
    // to append in place, rather than copy the text so far for each line.
    virtual void appendText(QStringView tail)
    {
        QString text = this->text();
        text.append(tail);
        setText(text);
    }
};

// The two colours of the display the options dialog recolours, as colour words.
class DisplayColors
{
public:
    virtual ~DisplayColors() = default;
    virtual uint32_t foreColor() const = 0;
    virtual uint32_t backColor() const = 0;
    virtual void setForeColor(uint32_t color) = 0;
    virtual void setBackColor(uint32_t color) = 0;
};

} // namespace nv
