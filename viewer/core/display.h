// What page rendering needs of the main window's display: its whole text,
// read and replaced.
#pragma once

#include <QString>

namespace nv {

class DisplayText
{
public:
    virtual ~DisplayText() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
};

} // namespace nv
