// The frame: a captioned group box that holds other controls. Child positions
// are measured from the frame's own top-left, caption included.
#pragma once

#include <QGroupBox>

namespace nv::forms {

class Frame : public QGroupBox
{
    Q_OBJECT

public:
    Frame(const QString &caption, QWidget *parent) : QGroupBox(caption, parent) {}
    void setCaption(const QString &caption) { setTitle(caption); }
    QString caption() const { return title(); }
};

} // namespace nv::forms
