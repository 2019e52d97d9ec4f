// A transient notice at a control, as a tooltip shows it, that a screen
// reader hears too.
#pragma once

#include <QString>

class QWidget;

namespace nv::forms {

class Notice
{
public:
    explicit Notice(QWidget *anchor);

    void show(const QString &text);
    // The last text shown.
    QString text() const;

private:
    QWidget *m_anchor;
    QString m_text;
};

} // namespace nv::forms
