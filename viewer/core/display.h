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

// Both, for any text box that has these members by these names (the main
// window's), without the page path knowing the widget.
template <class Box> class DisplayOf : public DisplayText, public DisplayColors
{
public:
    explicit DisplayOf(Box *box) : m_box(box) {}
    QString text() const override { return m_box->text(); }
    void setText(const QString &text) override { m_box->setText(text); }
    void appendText(QStringView tail) override { m_box->appendText(tail); }
    uint32_t foreColor() const override { return m_box->foreColor(); }
    uint32_t backColor() const override { return m_box->backColor(); }
    void setForeColor(uint32_t color) override { m_box->setForeColor(color); }
    void setBackColor(uint32_t color) override { m_box->setBackColor(color); }

private:
    Box *m_box;
};

} // namespace nv
