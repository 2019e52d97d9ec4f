// What page rendering needs of the main window's display: its whole text,
// read and replaced.
#pragma once

#include <QString>
#include <QStringView>

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

} // namespace nv
